#pragma once
// What a console program needs of the system: its arguments as the user typed them, and its
// standard output and error, which take UTF-8 (the active code page) and show it right whatever
// the console's code page.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// The arguments after the program's name, read in UTF-16 so that a name in any script arrives
// whole, in the active code page (UTF-8 under the application manifest).
std::vector<std::string> CommandLineArguments();

// Standard output or error. A console is written with its wide call, so that every script shows
// as the console can show it; a file or pipe gets the UTF-8 bytes as they are.
class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE

    // False when the text could not be written (a pipe closed by its reader, say).
    bool Write(std::string_view text);

private:
    HANDLE handle_;
    bool console_ = false;
};

} // namespace korrimat
