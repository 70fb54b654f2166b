/* A library planted beside a program under the name of a system library (version.dll, mpr.dll,
   bcrypt.dll). Loaded, it leaves a mark: an empty file named after itself with ".loaded" added. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t mark[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(instance, mark, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatW(mark, L".loaded");
            HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}
