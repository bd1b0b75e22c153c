// A file written whole or not at all: the text goes to a temporary file
// beside the destination, which is renamed over it only when everything was
// written, so that a failed run leaves neither an empty nor a partial file
// (and an older file of that name stays as it was).  An empty path means
// standard output, written directly.
#ifndef KELMOR_TOOL_OUTPUT_FILE_H
#define KELMOR_TOOL_OUTPUT_FILE_H

#include <cstdio>
#include <string>
#include <utility>

namespace kelmor {

class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {}
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Opens the temporary file; false with a message that names the path.
    bool Open(std::string *error);
    FILE *Stream() const { return stream_; }
    // Flushes, closes and renames; false with a message when any write failed.
    bool Commit(std::string *error);

private:
    std::string path_, temporary_;
    FILE *stream_ = nullptr;
};

}  // namespace kelmor

#endif
