/* Loads version.dll, mpr.dll and bcrypt.dll by name, as a program that imports them as usual
   would have them found: the premise of the planted-library test, that a library of that name
   beside the program is found first. */
#include <windows.h>

int main(void)
{
    LoadLibraryW(L"version.dll");
    LoadLibraryW(L"mpr.dll");
    LoadLibraryW(L"bcrypt.dll");
    return 0;
}
