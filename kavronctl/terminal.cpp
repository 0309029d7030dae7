#include "terminal.h"

#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

bool ReadStdinLine(std::string* line)
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

#ifdef _WIN32

bool ReadHiddenLine(const char* prompt, std::string* line)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode;
    if (!GetConsoleMode(input, &mode))
        return false;
    fputs(prompt, stderr);
    fflush(stderr);
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    const bool read = ReadStdinLine(line);
    SetConsoleMode(input, mode);
    fputc('\n', stderr);  // the Enter key was not echoed either
    return read;
}

#else

bool ReadHiddenLine(const char* prompt, std::string* line)
{
    termios saved;
    if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &saved) != 0)
        return false;
    fputs(prompt, stderr);
    fflush(stderr);
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    const bool read = ReadStdinLine(line);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
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
