// The bindings of the teacher's page: mokopera-sim's options, blocks, table and plots, as the
// page's JavaScript sees them. The page's workers fire groups of blocks; the page itself reads
// the form and makes the report from what they send back, with the same code as mokopera-sim.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <charconv>
#include <span>
#include <string>
#include <vector>

#include "classroom/pool.h"
#include "sim/groups.h"
#include "sim/options.h"
#include "sim/plot.h"
#include "sim/pool_report.h"
#include "sim/report.h"
#include "simulation/entry.h"
#include "simulation/theory.h"

namespace mokopera::web {

using emscripten::val;
using namespace mokopera::sim;

namespace {

std::uint64_t SeedOf(const std::string& text)
{
    std::uint64_t seed = 0;
    std::from_chars(text.data(), text.data() + text.size(), seed);
    return seed;
}

// The form read as mokopera-sim reads its options: {ok, first, last, experiments, seed} or
// {ok: false, option, message}, the option being the one whose field is wrong. An empty seed
// field takes `pickedSeed`, which the page shows so that the run can be repeated.
val ReadForm(const std::string& shots, const std::string& experiments, const std::string& seed,
             const std::string& pickedSeed)
{
    Options options;
    const bool noSeed = ToHalfWidth(seed).find_first_not_of(' ') == std::string::npos;
    const std::string& seedText = noSeed ? pickedSeed : seed;
    for (const auto& [option, text] :
         {std::pair{"-n", shots}, std::pair{"-e", experiments}, std::pair{"--seed", seedText}}) {
        if (auto error = ReadValue(option, text, options)) {
            val failed = val::object();
            failed.set("ok", false);
            failed.set("option", error->option);
            failed.set("message", error->message);
            return failed;
        }
    }
    val read = val::object();
    read.set("ok", true);
    read.set("first", options.firstShots);
    read.set("last", options.lastShots);
    read.set("experiments", double(options.experiments));
    read.set("seed", std::to_string(*options.seed));
    return read;
}

// How `workers` share a batch: blocks fired together, and the groups of them.
val Plan(unsigned workers)
{
    val plan = val::object();
    const int width = GroupWidth(workers);
    plan.set("width", width);
    plan.set("groups", kBlocks / width);
    return plan;
}

// One group of blocks of one batch, fired in slices by a worker. A run of one N alone keeps the
// running successes the convergence plot draws.
class GroupTask {
public:
    GroupTask(int shots, double experiments, const std::string& seed, int group, int width, bool running)
        : run_(shots, static_cast<long long>(experiments), SeedOf(seed), group, width,
               running ? LogCheckpoints(static_cast<long long>(experiments), kPlotPoints) : std::vector<long long>{})
    {
    }

    bool Advance(double steps) { return run_.Advance(static_cast<long long>(steps)); }
    double Done() const { return double(run_.Done()); }

    // The group's blocks: [{successes, checkpoints: [experiments, successes, ...]}, ...].
    val Blocks() const
    {
        val blocks = val::array();
        for (const Block& block : run_.Blocks()) {
            val made = val::object();
            made.set("successes", double(block.successes));
            val checkpoints = val::array();
            for (const Checkpoint& checkpoint : block.checkpoints) {
                checkpoints.call<void>("push", double(checkpoint.experiments));
                checkpoints.call<void>("push", double(checkpoint.successes));
            }
            made.set("checkpoints", checkpoints);
            blocks.call<void>("push", made);
        }
        return blocks;
    }

private:
    GroupRun run_;
};

// The report of a finished run: `batches` holds, for each N from `first` to `last`, the blocks of
// its batch in order, as GroupTask gives them. Returns {cells, csv, svg, description}: the rows of
// the table, the files mokopera-sim writes with --csv and --plot, and the plot in words.
val Report(int first, int last, double experiments, const val& batches)
{
    std::vector<Row> rows;
    std::vector<Checkpoint> running;
    for (int shots = first; shots <= last; ++shots) {
        const val sent = batches[shots - first];
        std::vector<Block> blocks;
        for (unsigned b = 0; b < sent["length"].as<unsigned>(); ++b) {
            Block block;
            block.successes = static_cast<long long>(sent[b]["successes"].as<double>());
            const std::vector<double> pairs = emscripten::vecFromJSArray<double>(sent[b]["checkpoints"]);
            for (std::size_t i = 0; i + 1 < pairs.size(); i += 2)
                block.checkpoints.push_back({static_cast<long long>(pairs[i]), static_cast<long long>(pairs[i + 1])});
            blocks.push_back(std::move(block));
        }
        const BatchResult batch = Combine(shots, static_cast<long long>(experiments), blocks);
        running = batch.running;
        rows.push_back(MakeRow(batch));
    }
    val report = val::object();
    val cells = val::array();
    for (const Row& row : rows) {
        val line = val::array();
        for (const std::string& cell : TableCells(row))
            line.call<void>("push", cell);
        cells.call<void>("push", line);
    }
    report.set("cells", cells);
    report.set("csv", FormatCsv(rows));
    report.set("svg", first == last ? ConvergencePlot(rows.front(), running) : RangePlot(rows));
    report.set("description", PlotDescription(rows));
    return report;
}

val Strings(const std::vector<std::string>& strings)
{
    val made = val::array();
    for (const std::string& text : strings)
        made.call<void>("push", text);
    return made;
}

// The class's pool on the teacher's page: the codes pasted (and those kept in the browser's
// storage) read and pooled by mokopera-sim --pool's own code.
class ClassPool {
public:
    // Adds every code in `text`. Returns {candidates: [{text, accepted, reason}], added}: each
    // candidate read, its reason in Japanese and English when refused, and the N of each series
    // that is new or grew.
    val Add(const std::string& text)
    {
        const classroom::Pool::Added added = pool_.Add(text);
        val candidates = val::array();
        for (const codes::Candidate& candidate : added.read) {
            val made = val::object();
            made.set("text", candidate.text);
            made.set("accepted", candidate.accepted);
            if (!candidate.accepted) {
                made.set("reason", std::string(codes::ReasonJapanese(candidate.refusal)));
                made.set("english", std::string(codes::ReasonEnglish(candidate.refusal)));
            }
            candidates.call<void>("push", made);
        }
        val shots = val::array();
        for (const codes::Series& series : added.changed)
            shots.call<void>("push", series.shots);
        val result = val::object();
        result.set("candidates", candidates);
        result.set("added", shots);
        return result;
    }

    // The pool's codes, one a line: what the page keeps in the browser's storage.
    [[nodiscard]] std::string Codes() const { return pool_.Codes(); }

    void Clear() { pool_ = {}; }

    // The pool as the page shows it: {count, groups: [{shots, rows: [cells]}], csv, svg,
    // description, plotShots (the N drawn), shotsNeeded}; each group's last row is its pooled total (id
    // "pooled"). The plot is of `shots` (0: the N with the most series); svg is empty when the
    // pool is.
    [[nodiscard]] val Report(int shots) const
    {
        const std::vector<codes::Series> series = pool_.Series();
        val groups = val::array();
        val group = val::null();
        for (const std::vector<std::string>& cells : PoolCells(series)) {
            if (group.isNull()) {
                group = val::object();
                group.set("shots", std::stoi(cells.front()));
                group.set("rows", val::array());
            }
            group["rows"].call<void>("push", Strings(cells));
            if (cells[1] == "pooled") {
                groups.call<void>("push", group);
                group = val::null();
            }
        }
        const PoolFigure figure = PoolPlot(series, shots);
        val report = val::object();
        report.set("count", int(series.size()));
        report.set("groups", groups);
        report.set("csv", PoolCsv(series));
        report.set("svg", figure.svg);
        report.set("description", figure.description);
        report.set("plotShots", figure.shots);
        report.set("shotsNeeded", ShotsNeededText());
        return report;
    }

private:
    classroom::Pool pool_;
};

// The headings of `columns` in both languages: [{japanese, english}].
val ColumnNames(std::span<const Column> columns)
{
    val names = val::array();
    for (const Column& column : columns) {
        val made = val::object();
        made.set("japanese", std::string(column.japanese));
        made.set("english", std::string(column.english));
        names.call<void>("push", made);
    }
    return names;
}

val Columns()
{
    return ColumnNames(kColumns);
}

val PoolColumnNames()
{
    return ColumnNames(PoolColumns());
}

}  // namespace

EMSCRIPTEN_BINDINGS(mokopera_sim)
{
    emscripten::constant("blocks", kBlocks);
    emscripten::function("readForm", &ReadForm);
    emscripten::function("plan", &Plan);
    emscripten::function("report", &Report);
    emscripten::function("columns", &Columns);
    emscripten::function("poolColumns", &PoolColumnNames);
    emscripten::class_<ClassPool>("ClassPool")
        .constructor<>()
        .function("add", &ClassPool::Add)
        .function("codes", &ClassPool::Codes)
        .function("clear", &ClassPool::Clear)
        .function("report", &ClassPool::Report);
    emscripten::class_<GroupTask>("GroupTask")
        .constructor<int, double, const std::string&, int, int, bool>()
        .function("advance", &GroupTask::Advance)
        .function("done", &GroupTask::Done)
        .function("blocks", &GroupTask::Blocks);
}

}  // namespace mokopera::web
