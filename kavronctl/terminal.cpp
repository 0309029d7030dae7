#include "terminal.h"

#include <stdio.h>

#ifdef _WIN32
#include <windows.h>

#include "console_text.h"
#else
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// The bytes of one line of stdin without its line end.
bool ReadStdinBytes(std::string* line)
{
    line->clear();
    bool any = false;
    int c;
    while ((c = fgetc(stdin)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line->push_back(static_cast<char>(c));
    }
    // A line typed or written on Windows may end in CR LF.
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return any;
}

}  // namespace

#ifdef _WIN32

namespace {

// One line as typed at the console, read as UTF-16 so that the console's code page
// does not matter, handed back as UTF-8. Ctrl+Z at the start of a line is the console's
// end of input.
bool ReadConsoleLine(HANDLE input, std::string* line)
{
    std::wstring wide;
    bool any = false;
    bool ended = false;
    while (!ended) {
        wchar_t buffer[128];
        DWORD read = 0;
        if (!ReadConsoleW(input, buffer, sizeof buffer / sizeof buffer[0], &read, nullptr) || read == 0)
            break;  // an error, or Ctrl+C ended the read
        any = true;
        for (DWORD i = 0; i < read && !ended; ++i) {
            if (buffer[i] == L'\n')
                ended = true;
            else
                wide.push_back(buffer[i]);
        }
    }
    if (!wide.empty() && wide.back() == L'\r')
        wide.pop_back();
    if (!any || (!wide.empty() && wide[0] == 0x1a))
        return false;
    return EncodeCodePage(wide, CP_UTF8, line);
}

// The console's mode while a hidden line is read, and for the control handler that
// puts it back when Ctrl+C, Ctrl+Break or closing the console ends the process: the
// mode belongs to the console, which the shell goes on using.
HANDLE hiddenInput = nullptr;
DWORD savedMode = 0;

BOOL WINAPI RestoreConsoleMode(DWORD)
{
    SetConsoleMode(hiddenInput, savedMode);
    return FALSE;  // the next handler, in the end the system's, ends the process
}

class HiddenConsole {
public:
    HiddenConsole(HANDLE input, DWORD mode)
    {
        hiddenInput = input;
        savedMode = mode;
        SetConsoleCtrlHandler(RestoreConsoleMode, TRUE);
        SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    }
    ~HiddenConsole()
    {
        SetConsoleMode(hiddenInput, savedMode);
        SetConsoleCtrlHandler(RestoreConsoleMode, FALSE);
    }
    HiddenConsole(const HiddenConsole&) = delete;
    HiddenConsole& operator=(const HiddenConsole&) = delete;
};

}  // namespace

bool ReadStdinLine(std::string* line)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode;
    if (GetConsoleMode(input, &mode))
        return ReadConsoleLine(input, line);
    if (!ReadStdinBytes(line))
        return false;
    const UINT console = GetConsoleCP();
    *line = PipedLineToUtf8(*line, console != 0 ? console : GetACP());
    return true;
}

bool ReadHiddenLine(const char* prompt, std::string* line)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode;
    if (!GetConsoleMode(input, &mode))
        return false;
    fputs(prompt, stderr);
    fflush(stderr);
    bool read;
    {
        HiddenConsole hidden(input, mode);
        read = ReadConsoleLine(input, line);
    }
    fputc('\n', stderr);  // the Enter key was not echoed either
    return read;
}

#else

namespace {

// The terminal's settings while a hidden line is read, for the signal handler that puts
// them back before the signal ends the process.
termios savedTerminal;
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RestoreAndEnd(int signalNumber)
{
    // Only async-signal-safe calls. SA_RESETHAND has put the default action back: the
    // raised signal ends the process once this handler returns.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    const ssize_t written = write(STDERR_FILENO, "\n", 1);
    (void)written;
    raise(signalNumber);
}

class HiddenTerminal {
public:
    explicit HiddenTerminal(const termios& saved)
    {
        savedTerminal = saved;
        struct sigaction action = {};
        action.sa_handler = RestoreAndEnd;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        for (int signal : kEndingSignals)
            sigaddset(&action.sa_mask, signal);
        for (size_t i = 0; i < kCount; ++i)
            sigaction(kEndingSignals[i], &action, &previous_[i]);
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    ~HiddenTerminal()
    {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        for (size_t i = 0; i < kCount; ++i)
            sigaction(kEndingSignals[i], &previous_[i], nullptr);
    }
    HiddenTerminal(const HiddenTerminal&) = delete;
    HiddenTerminal& operator=(const HiddenTerminal&) = delete;

private:
    static constexpr size_t kCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
    struct sigaction previous_[kCount];
};

}  // namespace

bool ReadStdinLine(std::string* line)
{
    return ReadStdinBytes(line);
}

bool ReadHiddenLine(const char* prompt, std::string* line)
{
    termios saved;
    if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &saved) != 0)
        return false;
    fputs(prompt, stderr);
    fflush(stderr);
    bool read;
    {
        HiddenTerminal hidden(saved);
        read = ReadStdinBytes(line);
    }
    fputc('\n', stderr);  // the Enter key was not echoed either
    return read;
}

#endif

#ifdef _WIN32

bool StdinIsTerminal()
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != FALSE;
}

bool StderrIsTerminal()
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

#else

bool StdinIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

#endif

bool ReadTypedLine(const char* prompt, std::string* line)
{
    if (!StdinIsTerminal())
        return false;
    fputs(prompt, stderr);
    fflush(stderr);
    return ReadStdinLine(line);
}
