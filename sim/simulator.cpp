#include "sim/simulator.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <iterator>
#include <optional>

#include "classroom/pool.h"
#include "sim/batch.h"
#include "sim/options.h"
#include "sim/plot.h"
#include "sim/plot_file.h"
#include "sim/pool_report.h"
#include "sim/report.h"
#include "sim/text_input.h"

namespace mokopera::sim {

namespace {

// Runs every batch of the command; after the first second, shows how far it has got on `err` when
// that is a terminal (`progress`), never in a pipe or a log file.
std::vector<BatchResult> RunAll(const Options& options, std::uint64_t seed, const std::vector<long long>& checkpoints,
                                std::ostream& err, bool progress)
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
        if (!progress || std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
            continue;
        char line[80];
        std::snprintf(line, sizeof line, "\r進行中 progress: %3d%%", int(100.0 * double(done) / double(total)));
        err << line << std::flush;
        shown = true;
        ProgressLineOpen(true);
    }
    if (shown)
        err << "\r進行中 progress: 100%\n";
    ProgressLineOpen(false);
    return work.get();
}

// Pools the class's codes from the file (or standard input) that --pool names, read a piece at a
// time in whatever form a PC wrote it: the table or CSV on `out`; on `err`, every code that cannot
// be read with its reason, and series that conflict. Status 3 when the input holds no code that
// can be read.
int RunPool(const Options& options, std::optional<PlotFile>& plot, std::ostream& out, std::ostream& err)
{
    std::ifstream file;
    if (options.poolPath != "-")
        file.open(options.poolPath, std::ios::binary);
    std::istream& in = options.poolPath == "-" ? std::cin : file;
    const auto unreadable = [&err, &options](const std::string& why) {
        err << "mokopera-sim: --pool のファイルを読めません: " << options.poolPath << why
            << "\ncannot read the --pool file: " << options.poolPath << why << "\n";
        return 2;
    };
    if (options.poolPath != "-" && (!file.is_open() || std::filesystem::is_directory(options.poolPath)))
        return unreadable("");
    classroom::Pool pool;
    std::size_t read = 0;
    const auto take = [&](codes::Candidate&& candidate) {
        ++read;
        if (candidate.accepted)
            pool.Take(candidate.series);
        else
            err << "mokopera-sim: 読み取れませんでした " << candidate.text << ": "
                << codes::ReasonJapanese(candidate.refusal) << "\nnot read: " << candidate.text << ": "
                << codes::ReasonEnglish(candidate.refusal) << "\n";
    };
    try {
        TextDecoder decoder;
        codes::CodeReader reader;
        std::string piece(1 << 16, '\0');
        for (bool end = false; !end;) {
            in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
            end = in.gcount() == 0;
            reader.Read(decoder.Decode(std::string_view(piece).substr(0, std::size_t(in.gcount()))), take);
        }
        reader.Finish(take);
    } catch (const std::runtime_error& failure) {  // no CP932 converter
        return unreadable(std::string(" (") + failure.what() + ")");
    }
    if (in.bad())
        return unreadable("");
    if (pool.Size() == 0) {
        err << "mokopera-sim: " << (read == 0 ? "コードがありません" : "読めるコードがありません") << ": "
            << options.poolPath << "\n"
            << (read == 0 ? "no code in " : "no code that can be read in ") << options.poolPath << "\n";
        return 3;
    }
    for (const auto& conflict : pool.Conflicts()) {
        err << "mokopera-sim: 同じ番号で食い違う結果があります（N = " << conflict.front().shots << "、"
            << conflict.front().id << "）\nconflicting results under one id (N = " << conflict.front().shots << ", "
            << conflict.front().id << "):";
        for (const codes::Series& series : conflict)
            err << " " << series.experiments << "/" << series.successes;
        err << "\n";
    }
    if (options.csv)
        WritePoolCsv(pool, out);
    else
        WritePoolTable(pool, out);
    if (!out.flush()) {
        err << kCannotWriteOutput;
        return 2;
    }
    if (plot) {
        if (const std::string problem = plot->Commit(PoolPlotFile(pool)); !problem.empty()) {
            err << "mokopera-sim: " << problem << "\n";
            return 2;
        }
    }
    return 0;
}

}  // namespace

int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 const std::function<std::uint64_t()>& timeSeed, bool progress)
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
    if (!options.poolPath.empty()) {
        try {
            return RunPool(options, plot, out, err);
        } catch (const std::bad_alloc&) {  // a class's pool larger than the memory: said, never an abort
            err << "\nmokopera-sim: メモリが足りません\nout of memory\n";
            return 2;
        }
    }
    const std::uint64_t seed = options.seed ? *options.seed : timeSeed();
    const std::vector<long long> checkpoints =
        plot ? PlotCheckpoints(options.firstShots, options.lastShots, options.experiments) : std::vector<long long>{};

    std::vector<BatchResult> batches;
    try {
        batches = RunAll(options, seed, checkpoints, err, progress);
    } catch (const std::exception& failure) {  // no thread or no memory to be had: nothing written
        err << "\nmokopera-sim: 実行できませんでした cannot run: " << failure.what() << "\n";
        return 1;
    }
    std::vector<Row> rows;
    rows.reserve(batches.size());
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
        err << kCannotWriteOutput;
        return 2;
    }
    if (plot) {
        const std::string svg = BatchPlot(rows, batches.front().running);
        if (const std::string problem = plot->Commit(svg); !problem.empty()) {
            err << "mokopera-sim: " << problem << "\n";
            return 2;
        }
    }
    return 0;
}

}  // namespace mokopera::sim
