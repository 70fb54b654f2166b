// korrimat_list_reader: reads the entries of list boxes and combo boxes in another program, as a
// screen reader does: through their window messages, in the wide form.
//
//   korrimat_list_reader OUTPUT WINDOW...
//
// WINDOW is a window handle in hexadecimal. OUTPUT receives, in UTF-8, a line "list" for each
// window followed by its entries one a line ("?" for an entry the window refuses to give).

#include "platform/FileSystem.h"
#include "tests/support/WindowTesting.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    FILE* output = std::fopen(argv[1], "wb");
    if (!output)
        return 2;
    for (int argument = 2; argument < argc; ++argument) {
        const auto window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[argument], nullptr, 16)));
        std::fputs("list\n", output);
        for (const std::wstring& entry : korrimat::testing::ListEntries<wchar_t>(window))
            std::fprintf(output, "%s\n", korrimat::NarrowText(entry).c_str());
    }
    return std::fclose(output) == 0 ? 0 : 2;
}
