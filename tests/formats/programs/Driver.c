/* A kernel-mode driver whose entry point only prints: it imports from ntoskrnl.exe, as every
   driver does. Never loaded; the tests read its headers. */
typedef long NTSTATUS;
unsigned long DbgPrint(const char* format, ...);

NTSTATUS DriverEntry(void* driver, void* registryPath)
{
    (void)driver;
    (void)registryPath;
    DbgPrint("korrimat\n");
    return 0;
}
