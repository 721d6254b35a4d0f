// Runs the zxresults program as a teacher does, for the tests of its
// commands: its exit status and what it wrote to standard output and
// standard error.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace zx::testing {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline int exitStatus(int systemResult) { return WIFEXITED(systemResult) ? WEXITSTATUS(systemResult) : -1; }

// `program` with `arguments` (already quoted for the shell); its outputs
// pass through the files `outPath` and `errPath`.
inline Outcome runProgram(const std::string& program, const std::string& arguments, const std::string& outPath,
                          const std::string& errPath)
{
    const std::string command = "'" + program + "' " + arguments + " >'" + outPath + "' 2>'" + errPath + "'";
    Outcome outcome;
    outcome.status = exitStatus(std::system(command.c_str()));
    outcome.out = fileText(outPath);
    outcome.err = fileText(errPath);
    return outcome;
}

} // namespace zx::testing
