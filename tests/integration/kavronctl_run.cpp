#include "kavronctl_run.h"

#include <stdlib.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <fstream>
#include <sstream>

#include "sim_control.h"
#include "wine_io.h"

namespace {

std::string Program()
{
#ifdef _WIN32
    return WindowsPath(KAVRONCTL_PATH);
#else
    return KAVRONCTL_PATH;
#endif
}

}  // namespace

FILE* StartKavronctl(const std::string& arguments)
{
    std::string command = Program() + " " + arguments;
#ifdef _WIN32
    return _popen(command.c_str(), "rb");
#else
    return popen(command.c_str(), "r");
#endif
}

CommandRun Finish(FILE* pipe)
{
    CommandRun run{-1, "", ""};
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
#ifdef _WIN32
    run.status = _pclose(pipe);
#else
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    // Text lines may come with CRLF on Windows.
    run.out = WithoutCarriageReturns(run.out);
    return run;
}

CommandRun Kavronctl(const std::string& arguments)
{
    return Finish(StartKavronctl(arguments));
}

#ifdef _WIN32
std::wstring KavronctlOnConsole(const std::string& arguments)
{
    // Wine gives a program started without a terminal a console that CONOUT$ cannot
    // open (and AllocConsole refuses a second): a new one replaces it. The standard
    // handles, pipes of the test runner, stay as they are.
    FreeConsole();
    if (!AllocConsole())
        return L"";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      &inherited, OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        return L"";
    CONSOLE_SCREEN_BUFFER_INFO info;
    GetConsoleScreenBufferInfo(screen, &info);
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    DWORD done;
    FillConsoleOutputCharacterW(screen, L' ', cells, COORD{0, 0}, &done);
    SetConsoleCursorPosition(screen, COORD{0, 0});

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    std::string command = "\"" + Program() + "\" " + arguments;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(screen);
        return L"";
    }
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    std::wstring shown;
    std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, &row[0], info.dwSize.X, COORD{0, y}, &read);
        const size_t end = row.find_last_not_of(L' ', read == 0 ? 0 : read - 1);
        if (end != std::wstring::npos)
            shown += row.substr(0, end + 1);
        shown += L'\n';
    }
    CloseHandle(screen);
    return shown;
}
#endif

std::string LabFile(const char* name, const std::string& content)
{
#ifdef _WIN32
    const std::string path = LabPath("KAVRON_LAB_DIR") + "\\" + name;
#else
    const std::string path = LabPath("KAVRON_LAB_DIR") + "/" + name;
#endif
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}

CommandRun KavronctlApart(const std::string& arguments, const std::string& stdinFile)
{
    const std::string errFile = LabFile("kavronctl.err", "");
    const std::string input = stdinFile.empty() ? LabFile("empty.in", "") : stdinFile;
    CommandRun run = Kavronctl(arguments + " <\"" + input + "\" 2>\"" + errFile + "\"");
    std::ifstream in(errFile, std::ios::binary);
    std::stringstream err;
    err << in.rdbuf();
    run.err = WithoutCarriageReturns(err.str());
    return run;
}
