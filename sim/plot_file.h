#pragma once

#include <string>
#include <sys/types.h>

namespace mokopera::sim {

// mokopera-sim's output file and its interruption, which must remove a half-written plot.

// A plot file written in full or not at all: a temporary file beside the target, renamed over it
// once everything is on disk. Only a regular file is ever replaced, and it keeps its mode (and its
// owner, for the superuser); a new file gets the mode the umask allows, as any other program's
// output would. An interrupt (see CleanUpOnInterrupt) removes the temporary file.
class PlotFile {
public:
    PlotFile() = default;
    PlotFile(const PlotFile&) = delete;
    PlotFile& operator=(const PlotFile&) = delete;
    ~PlotFile();

    // Empty when the file can be written; otherwise what is wrong, in Japanese and English.
    [[nodiscard]] std::string Prepare(const std::string& path);
    // Empty on success; otherwise the message, and the target is as it was.
    [[nodiscard]] std::string Commit(const std::string& contents);

private:
    [[nodiscard]] std::string CannotWrite() const;
    void Discard();

    std::string path_, temporary_;
    int descriptor_ = -1;
    mode_t mode_ = 0644;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    bool replacing_ = false;
};

// From now on, Ctrl-C (SIGINT) and SIGTERM remove a plot that is half written, end an open
// progress line, and end the program with status 128 + the signal (130 for Ctrl-C).
void CleanUpOnInterrupt();

// Whether a progress line is open on standard error, so that an interrupt's message starts a line
// of its own.
void ProgressLineOpen(bool open);

}  // namespace mokopera::sim
