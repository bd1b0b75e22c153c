#include "program_run.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "test_paths.h"
#include "text_file.h"

namespace kelmor_test {

namespace {

std::string ShellQuoted(const std::string &s) {
    std::string quoted = "'";
    for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &args,
                      const std::string &environment, const std::string &input) {
    // One directory per test process: ctest runs several test programs at
    // once, and each may be running the tool.
    const std::string dir = ScratchDir("program_run_" + std::to_string(getpid()));
    WriteTextFile(dir + "/in", input);
    std::string command = environment + " " + ShellQuoted(program);
    for (const std::string &arg : args) command += " " + ShellQuoted(arg);
    command += " <" + dir + "/in >" + dir + "/out 2>" + dir + "/err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTextFile(dir + "/out"),
            ReadTextFile(dir + "/err")};
}

}  // namespace kelmor_test

#endif
