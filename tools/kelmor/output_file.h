// A file written whole or not at all: the text goes to a temporary file
// beside the destination, which is renamed over it only when everything was
// written, so that a failed run leaves neither an empty nor a partial file
// (and an older file of that name stays as it was).  An empty path means
// standard output, written directly.
//
// A destination that is a symbolic link is written through: the link stays
// and its target gets the text.  A file that exists keeps its permissions.
// Temporary files that a run killed before it could remove them left beside
// the destination (NAME.tmpPID.N of a process that is gone) are removed.
// A write that fails is reported with its cause (a full disk, ...).
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

    // The temporary file's descriptor under the stream, and the errno of
    // the first write or close that failed on it.
    struct Sink {
        int fd = -1;
        int error = 0;
    };

private:
    bool OpenTemporary(const std::string &destination, std::string *error);

    std::string path_, target_, temporary_;
    FILE *stream_ = nullptr;
    Sink sink_;
};

}  // namespace kelmor

#endif
