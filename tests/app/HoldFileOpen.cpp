// hold_file_open FILE SHARING EVENT: another program holding a file. Opens FILE for reading and
// writing, sharing it for reading ("read") or not at all ("none"), sets the named event, and keeps
// the file open until the program is ended.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const DWORD sharing = std::strcmp(argv[2], "read") == 0 ? FILE_SHARE_READ : 0;
    const korrimat::UniqueFile file(::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const korrimat::UniqueEvent ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]));
    if (!file || !ready)
        return 1;
    ::SetEvent(ready.Get());
    ::Sleep(INFINITE);
    return 0;
}
