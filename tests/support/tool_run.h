// Runs one of the built tools with arguments (shell words) and keeps its
// exit status and what it wrote to standard output and standard error.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace zx::testing {

struct ToolRun {
    int status = -1;
    std::string out;
};

inline ToolRun runTool(const std::string& program, const std::string& arguments)
{
    ToolRun run;
    const std::string command = "'" + program + "' " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace zx::testing
