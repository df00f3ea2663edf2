#include "sim/simulator.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/batch.h"
#include "sim/options.h"
#include "sim/report.h"

namespace mokopera::sim {

namespace {

constexpr int kPlotPoints = 400;

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

// A plot file written in full or not at all: a temporary file beside the target, renamed over it
// once everything is on disk. Only a regular file is ever replaced, and it keeps its mode; a new
// file gets the mode the umask allows, as any other program's output would.
class PlotFile {
public:
    // Empty when the file can be written; otherwise what is wrong, in Japanese and English.
    std::string Prepare(const std::string& path)
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
        std::string pattern = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
                              ".mokopera-sim-XXXXXX";
        if (pattern.size() >= sizeof gTemporaryPath)
            return CannotWrite();
        descriptor_ = mkstemp(pattern.data());
        if (descriptor_ < 0)
            return CannotWrite();
        temporary_ = pattern;
        std::memcpy(gTemporaryPath, pattern.c_str(), pattern.size() + 1);
        return {};
    }

    ~PlotFile() { Discard(); }

    // Empty on success; otherwise the message, and the target is as it was.
    std::string Commit(const std::string& contents)
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

private:
    std::string CannotWrite() const
    {
        return "図を書き込めません: " + path_ + "\n" + "cannot write the plot: " + path_;
    }
    void Discard()
    {
        if (descriptor_ >= 0)
            close(descriptor_);
        descriptor_ = -1;
        if (!temporary_.empty())
            unlink(temporary_.c_str());
        temporary_.clear();
        gTemporaryPath[0] = '\0';
    }

    std::string path_, temporary_;
    int descriptor_ = -1;
    mode_t mode_ = 0644;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    bool replacing_ = false;
};

// Runs every batch of the command; after the first second, shows how far it has got.
std::vector<BatchResult> RunAll(const Options& options, std::uint64_t seed, const std::vector<long long>& checkpoints,
                                std::ostream& err)
{
    const int batches = options.lastShots - options.firstShots + 1;
    const long long total = options.experiments * batches;
    std::atomic<long long> done{0};
    auto work = std::async(std::launch::async, [&] {
        std::vector<BatchResult> results;
        for (int shots = options.firstShots; shots <= options.lastShots; ++shots)
            results.push_back(RunBatch(shots, options.experiments, seed, checkpoints, &done));
        return results;
    });
    const auto start = std::chrono::steady_clock::now();
    bool shown = false;
    while (work.wait_for(std::chrono::milliseconds(250)) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
            continue;
        char line[80];
        std::snprintf(line, sizeof line, "\r進行中 progress: %3d%%", int(100.0 * double(done) / double(total)));
        err << line << std::flush;
        shown = true;
        gProgressShown = 1;
    }
    if (shown)
        err << "\r進行中 progress: 100%\n";
    gProgressShown = 0;
    return work.get();
}

}  // namespace

void CleanUpOnInterrupt()
{
    struct sigaction action {};
    action.sa_handler = CleanUpAndLeave;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 const std::function<std::uint64_t()>& timeSeed)
{
    const auto parsed = ParseArguments(arguments);
    if (const auto* error = std::get_if<ArgumentError>(&parsed)) {
        err << "mokopera-sim: " << error->message << "\n";
        return 2;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        out << HelpText();
        return 0;
    }
    std::optional<PlotFile> plot;
    if (!options.plotPath.empty()) {
        const std::string problem = plot.emplace().Prepare(options.plotPath);
        if (!problem.empty()) {
            err << "mokopera-sim: " << problem << "\n";
            return 2;
        }
    }
    const std::uint64_t seed = options.seed ? *options.seed : timeSeed();
    const bool single = options.firstShots == options.lastShots;
    const std::vector<long long> checkpoints =
        plot && single ? LogCheckpoints(options.experiments, kPlotPoints) : std::vector<long long>{};

    const std::vector<BatchResult> batches = RunAll(options, seed, checkpoints, err);
    std::vector<Row> rows;
    for (const BatchResult& batch : batches)
        rows.push_back(MakeRow(batch));

    // The table first: when it cannot be written, the plot is not put in place either.
    if (options.csv) {
        err << "乱数の種 seed: " << seed << "\n";
        out << FormatCsv(rows);
    } else {
        out << FormatTable(rows, seed);
    }
    if (!out.flush()) {
        err << "mokopera-sim: 標準出力に書き込めません\ncannot write to the standard output\n";
        return 2;
    }
    if (plot) {
        const std::string svg = single ? ConvergencePlot(rows.front(), batches.front().running) : RangePlot(rows);
        if (const std::string problem = plot->Commit(svg); !problem.empty()) {
            err << "mokopera-sim: " << problem << "\n";
            return 2;
        }
    }
    return 0;
}

}  // namespace mokopera::sim
