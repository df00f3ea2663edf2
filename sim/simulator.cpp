#include "sim/simulator.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <unistd.h>

#include "sim/batch.h"
#include "sim/options.h"
#include "sim/report.h"

namespace mokopera::sim {

namespace {

constexpr int kPlotPoints = 400;

// A file written in full or not at all: a temporary file beside the target, renamed over it.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path) : path_(path)
    {
        std::string pattern = path + ".XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        if (descriptor >= 0) {
            close(descriptor);
            temporary_ = pattern;
        }
    }
    ~AtomicFile()
    {
        if (!temporary_.empty())
            std::remove(temporary_.c_str());
    }
    [[nodiscard]] bool Usable() const { return !temporary_.empty(); }
    bool Commit(const std::string& contents)
    {
        std::ofstream file(temporary_, std::ios::binary | std::ios::trunc);
        file << contents;
        file.close();
        if (!file || std::rename(temporary_.c_str(), path_.c_str()) != 0)
            return false;
        temporary_.clear();
        return true;
    }

private:
    std::string path_;
    std::string temporary_;
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
    }
    if (shown)
        err << "\r進行中 progress: 100%\n";
    return work.get();
}

}  // namespace

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
    std::optional<AtomicFile> plot;
    if (!options.plotPath.empty()) {
        plot.emplace(options.plotPath);
        if (!plot->Usable()) {
            err << "mokopera-sim: 図を書き込めません: " << options.plotPath << "\n"
                << "cannot write the plot: " << options.plotPath << "\n";
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

    if (plot) {
        const std::string svg = single ? ConvergencePlot(rows.front(), batches.front().running) : RangePlot(rows);
        if (!plot->Commit(svg)) {
            err << "mokopera-sim: 図を書き込めません: " << options.plotPath << "\n"
                << "cannot write the plot: " << options.plotPath << "\n";
            return 2;
        }
    }
    if (options.csv) {
        err << "乱数の種 seed: " << seed << "\n";
        out << FormatCsv(rows);
    } else {
        out << FormatTable(rows, seed);
    }
    return 0;
}

}  // namespace mokopera::sim
