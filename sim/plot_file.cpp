#include "sim/plot_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mokopera::sim {

namespace {

// The temporary plot file while it exists, and whether a progress line is open on standard error:
// what an interrupt must clean up. Plain static storage, as a signal handler may touch nothing else.
char gTemporaryPath[4096];
volatile std::sig_atomic_t gProgressShown = 0;

extern "C" void CleanUpAndLeave(int signal)
{
    if (gTemporaryPath[0] != '\0')
        unlink(gTemporaryPath);
    // The message on a line of its own: after the open progress line, if there is one.
    static const char kMessage[] = "\n中断しました interrupted\n";
    const std::size_t skip = gProgressShown ? 0 : 1;
    const ssize_t ignored = write(STDERR_FILENO, kMessage + skip, sizeof kMessage - 1 - skip);
    (void)ignored;
    _exit(128 + signal);
}

}  // namespace

std::string PlotFile::Prepare(const std::string& path)
{
    path_ = path;
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return "通常のファイルではないので上書きしません: " + path + "\n" +
                   "not a regular file, left as it is: " + path;
        mode_ = existing.st_mode & 07777;
        owner_ = existing.st_uid;
        group_ = existing.st_gid;
        replacing_ = true;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode_ = 0666 & ~mask;
    }
    // A short name of its own in the same folder, so that a long target name still fits.
    const auto slash = path.rfind('/');
    std::string pattern =
        (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".mokopera-sim-XXXXXX";
    if (pattern.size() >= sizeof gTemporaryPath)
        return CannotWrite();
    descriptor_ = mkstemp(pattern.data());
    if (descriptor_ < 0)
        return CannotWrite();
    temporary_ = pattern;
    std::memcpy(gTemporaryPath, pattern.c_str(), pattern.size() + 1);
    return {};
}

PlotFile::~PlotFile()
{
    Discard();
}

std::string PlotFile::Commit(const std::string& contents)
{
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t now = write(descriptor_, contents.data() + written, contents.size() - written);
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0)
            return CannotWrite();
        written += static_cast<std::size_t>(now);
    }
    if (replacing_ && fchown(descriptor_, owner_, group_) != 0) {
        // Only the superuser may give a file away; anyone else keeps it as their own.
    }
    if (fchmod(descriptor_, mode_) != 0 || fsync(descriptor_) != 0)
        return CannotWrite();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0 || std::rename(temporary_.c_str(), path_.c_str()) != 0)
        return CannotWrite();
    temporary_.clear();
    gTemporaryPath[0] = '\0';
    return {};
}

std::string PlotFile::CannotWrite() const
{
    return "図を書き込めません: " + path_ + "\n" + "cannot write the plot: " + path_;
}

void PlotFile::Discard()
{
    if (descriptor_ >= 0)
        close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    temporary_.clear();
    gTemporaryPath[0] = '\0';
}

void CleanUpOnInterrupt()
{
    struct sigaction action {};
    action.sa_handler = CleanUpAndLeave;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void ProgressLineOpen(bool open)
{
    gProgressShown = open ? 1 : 0;
}

}  // namespace mokopera::sim
