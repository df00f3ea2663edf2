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
#include "program/texts.h"
#include "sim/groups.h"
#include "sim/options.h"
#include "sim/plot.h"
#include "sim/pool_report.h"
#include "sim/report.h"
#include "simulation/entry.h"
#include "simulation/rules.h"
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

// One group of blocks of one batch of N from `first` to `last`, fired in slices by a worker; it
// keeps the running successes the batch's plot draws (PlotCheckpoints).
class GroupTask {
public:
    GroupTask(int shots, double experiments, const std::string& seed, int group, int width, int first, int last)
        : run_(shots, static_cast<long long>(experiments), SeedOf(seed), group, width,
               PlotCheckpoints(first, last, static_cast<long long>(experiments)))
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
    report.set("svg", BatchPlot(rows, running));
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
// storage) read and pooled by mokopera-sim --pool's own code. What a change brings is given as
// what the page updates: the rows of each series changed and the totals of their N, never the
// whole pool again.
class ClassPool {
public:
    // Adds every code in `text`: {read, accepted, refused (how many of each), shownRefusals (the
    // first kShownRefusals of them: "code\treason\tEnglish reason" a line), changed}. `changed`
    // lists, for each series the text added or grew, {shots, id, rows (the cells of every state
    // the pool holds of it: one, or several that conflict), pooled (the cells of its N's total)}.
    val Add(const std::string& text)
    {
        const classroom::Pool::Added added = pool_.Add(text);
        int accepted = 0, refused = 0;
        std::string shown;
        for (const codes::Candidate& candidate : added.read) {
            (candidate.accepted ? accepted : refused) += 1;
            if (!candidate.accepted && refused <= kShownRefusals)
                shown += candidate.text + "\t" + codes::ReasonJapanese(candidate.refusal) + "\t" +
                         codes::ReasonEnglish(candidate.refusal) + "\n";
        }
        val result = Changed(added.changed);
        result.set("read", int(added.read.size()));
        result.set("accepted", accepted);
        result.set("refused", refused);
        result.set("shownRefusals", shown);
        return result;
    }

    // The pool's codes, one a line: what the page keeps in the browser's storage.
    [[nodiscard]] std::string Codes() const { return pool_.Codes(); }
    void Clear() { pool_ = {}; }
    [[nodiscard]] int Count() const { return int(pool_.Size()); }
    // Each N that has series: [[N, how many], ...].
    [[nodiscard]] val Groups() const
    {
        val groups = val::array();
        for (const auto& [shots, count] : pool_.Counts())
            groups.call<void>("push", val::array(std::vector<int>{shots, int(count)}));
        return groups;
    }
    // One N's table: the cells of each series, then of their total.
    [[nodiscard]] val Table(int shots) const
    {
        val rows = val::array();
        for (const std::vector<std::string>& cells : PoolCells(pool_, shots))
            rows.call<void>("push", Strings(cells));
        return rows;
    }
    // The funnel plot of `shots` (0: the N with the most series): {svg, description, shots}.
    [[nodiscard]] val Plot(int shots) const
    {
        const PoolFigure figure = PoolPlot(pool_, shots);
        val plot = val::object();
        plot.set("svg", figure.svg);
        plot.set("description", figure.description);
        plot.set("shots", figure.shots);
        return plot;
    }
    // The class's predictions against the experiment and the theory: {svg, description}, the svg
    // empty when no series was asked.
    [[nodiscard]] val Predictions() const
    {
        const PoolFigure figure = PredictionFigure(pool_);
        val made = val::object();
        made.set("svg", figure.svg);
        made.set("description", figure.description);
        return made;
    }
    // What --plot writes for the funnel plot of `shots`: the file the page offers.
    [[nodiscard]] std::string PlotFile(int shots) const { return PoolPlotFile(pool_, shots); }
    [[nodiscard]] std::string Csv() const { return PoolCsv(pool_); }
    // The series that conflict: [{shots, id, states: ["experiments/successes", ...]}].
    [[nodiscard]] val Conflicts() const
    {
        val conflicts = val::array();
        for (const std::vector<codes::Series>& group : pool_.Conflicts()) {
            std::vector<std::string> states;
            for (const codes::Series& series : group)
                states.push_back(std::to_string(series.experiments) + "/" + std::to_string(series.successes));
            val conflict = val::object();
            conflict.set("shots", group.front().shots);
            conflict.set("id", group.front().id);
            conflict.set("states", Strings(states));
            conflicts.call<void>("push", conflict);
        }
        return conflicts;
    }

private:
    static constexpr int kShownRefusals = 500;

    // The rows that `changed` series bring, as Add gives them.
    [[nodiscard]] val Changed(const std::vector<codes::Series>& changed) const
    {
        val list = val::array();
        for (const codes::Series& series : changed) {
            val rows = val::array();
            for (const codes::Series& state : pool_.Of(series.shots, series.id))
                rows.call<void>("push", Strings(SeriesCells(state)));
            val made = val::object();
            made.set("shots", series.shots);
            made.set("id", series.id);
            made.set("rows", rows);
            made.set("pooled", Strings(PooledCells(pool_, series.shots)));
            list.call<void>("push", made);
        }
        val result = val::object();
        result.set("changed", list);
        return result;
    }

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
    // N's range, and the N the entry box offers without a lesson link: the program's rules.
    emscripten::constant("fewestShots", rules::kFewestShots);
    emscripten::constant("mostShots", rules::kMostShots);
    emscripten::constant("offeredShots", std::string(texts::kOfferedShots));
    emscripten::function("readForm", &ReadForm);
    emscripten::function("plan", &Plan);
    emscripten::function("report", &Report);
    emscripten::function("columns", &Columns);
    emscripten::function("poolColumns", &PoolColumnNames);
    emscripten::function("shotsNeeded", &ShotsNeededText);
    emscripten::class_<ClassPool>("ClassPool")
        .constructor<>()
        .function("add", &ClassPool::Add)
        .function("codes", &ClassPool::Codes)
        .function("clear", &ClassPool::Clear)
        .function("count", &ClassPool::Count)
        .function("groups", &ClassPool::Groups)
        .function("table", &ClassPool::Table)
        .function("plot", &ClassPool::Plot)
        .function("csv", &ClassPool::Csv)
        .function("predictions", &ClassPool::Predictions)
        .function("plotFile", &ClassPool::PlotFile)
        .function("conflicts", &ClassPool::Conflicts);
    emscripten::class_<GroupTask>("GroupTask")
        .constructor<int, double, const std::string&, int, int, int, int>()
        .function("advance", &GroupTask::Advance)
        .function("done", &GroupTask::Done)
        .function("blocks", &GroupTask::Blocks);
}

}  // namespace mokopera::web
