// hold_file_open FILE SHARING EVENT PARENT: another program holding a file. Opens FILE for reading
// and writing, sharing it for reading ("read") or not at all ("none"), sets the named event, and
// keeps the file open until the program is ended, or the test program (process id PARENT) ends.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    const DWORD sharing = std::strcmp(argv[2], "read") == 0 ? FILE_SHARE_READ : 0;
    const korrimat::UniqueFile file(::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const korrimat::UniqueEvent ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]));
    const korrimat::UniqueProcess parent(::OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(argv[4], nullptr, 10)));
    if (!file || !ready || !parent)
        return 1;
    ::SetEvent(ready.Get());
    ::WaitForSingleObject(parent.Get(), INFINITE);
    return 0;
}
