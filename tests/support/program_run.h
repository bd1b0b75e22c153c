// Running a program of the build (the tool, an example host) from a test and
// collecting what it printed.  POSIX only: it goes through the shell.
#ifndef KELMOR_TESTS_PROGRAM_RUN_H
#define KELMOR_TESTS_PROGRAM_RUN_H

#include <string>
#include <vector>

namespace kelmor_test {

struct ProgramRun {
    int exitCode;
    std::string out, err;
};

// Runs `program` with `args`; `environment` ("NAME=value ...") and `input`
// (standard input) are optional.
ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &args,
                      const std::string &environment = "", const std::string &input = "");

}  // namespace kelmor_test

#endif
