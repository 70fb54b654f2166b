// korrimat_window_probe: starts Korrimat on a file as a user's shell would, and checks that the
// window it opens shows that file; then closes it.
//
//   korrimat_window_probe FOLDER --verb CLASS    the command of the verb Korrimat of CLASS under
//                                                HKCU\Software\Classes, "%1" replaced by the path
//   korrimat_window_probe FOLDER --program EXE   "EXE" "path"
//
// The file is made in FOLDER under a name in three scripts, with spaces, so that no shell or
// script between the test and the program carries it. Prints what the window shows; exit code
// 0 when its name box shows the file's name, 1 when not, 2 when it could not be started.

#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"
#include "tests/support/StartedProgram.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using korrimat::NarrowText;
using korrimat::WideText;

constexpr char kFileName[] = "Korrimat verb Ελληνικά ファイル Кириллица.txt";

std::wstring VerbCommand(const std::wstring& fileClass)
{
    const std::wstring key = L"Software\\Classes\\" + fileClass + L"\\shell\\Korrimat\\command";
    wchar_t command[2048] = {};
    DWORD size = sizeof(command);
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size) != ERROR_SUCCESS)
        return {};
    return command;
}

BOOL CALLBACK CollectTextBox(HWND child, LPARAM argument)
{
    wchar_t kind[32] = {};
    ::GetClassNameW(child, kind, 32);
    if (lstrcmpiW(kind, L"Edit") == 0)
        reinterpret_cast<std::vector<std::wstring>*>(argument)->push_back(korrimat::testing::TextOfWindow(child));
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const std::wstring file = WideText(std::string(argv[1]) + "\\" + kFileName);
    {
        korrimat::UniqueFile made(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!made || !::WriteFile(made.Get(), "verb", 4, &written, nullptr))
            return 2;
    }
    std::wstring command = std::string(argv[2]) == "--verb" ? VerbCommand(WideText(argv[3]))
                                                             : L"\"" + WideText(argv[3]) + L"\" \"%1\"";
    const std::size_t placeholder = command.find(L"%1");
    if (placeholder == std::wstring::npos)
        return 2;
    command.replace(placeholder, 2, file);
    std::printf("command: %s\n", NarrowText(command).c_str());

    korrimat::testing::StartedProgram program(NarrowText(command));
    if (!program.Started())
        return 2;
    ::WaitForInputIdle(program.Handle(), 30000);
    HWND window = nullptr;
    std::vector<std::wstring> texts;
    bool shown = false;
    // The window, then its name box showing the file, for up to 30 seconds.
    for (int round = 0; round < 300 && !shown; ++round) {
        ::Sleep(100);
        if (!window)
            window = korrimat::testing::VisibleWindowOf(::GetProcessId(program.Handle()));
        if (!window)
            continue;
        texts.clear();
        ::EnumChildWindows(window, CollectTextBox, reinterpret_cast<LPARAM>(&texts));
        for (const std::wstring& text : texts)
            shown = shown || text == WideText(kFileName);
    }
    if (window) {
        std::printf("title: %s\n", NarrowText(korrimat::testing::TextOfWindow(window)).c_str());
        for (const std::wstring& text : texts)
            std::printf("text box: %s\n", NarrowText(text).c_str());
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    const bool ended = ::WaitForSingleObject(program.Handle(), 15000) == WAIT_OBJECT_0;
    std::printf("window %s, %s, %s\n", window ? "opened" : "never opened",
                shown ? "showing the file" : "NOT showing the file", ended ? "closed" : "NOT closed");
    ::DeleteFileW(file.c_str());
    return shown && ended ? 0 : 1;
}
