#include "kavronctl_run.h"

#include <stdlib.h>
#ifndef _WIN32
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
