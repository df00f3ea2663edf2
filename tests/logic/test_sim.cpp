// mokopera-sim: its command line, its CSV and SVG, what it does to the files it writes, output
// that cannot be written, an interrupt, reproducibility and the statistics.

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "check.h"
#include "sim/batch.h"
#include "sim/report.h"
#include "sim/simulator.h"

using namespace mokopera::sim;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Run(const std::vector<std::string>& arguments, std::uint64_t clockSeed = 4242)
{
    std::ostringstream out, err;
    const int status = RunSimulator(arguments, out, err, [=] { return clockSeed; });
    return {status, out.str(), err.str()};
}

// A fresh empty folder, removed with everything in it at the end of its scope.
struct Folder {
    fs::path path;
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "mokopera-sim-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(path); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// How many elements of each name a document holds; empty when its tags do not nest properly.
std::map<std::string, int> Elements(const std::string& xml)
{
    std::map<std::string, int> counts;
    std::vector<std::string> open;
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        if (xml.compare(at, 2, "<?") == 0)
            continue;
        const bool closing = xml[at + 1] == '/';
        const std::size_t nameStart = at + (closing ? 2 : 1);
        const std::string name = xml.substr(nameStart, xml.find_first_of(" />\n", nameStart) - nameStart);
        const std::size_t end = xml.find('>', at);
        if (end == std::string::npos)
            return {};
        if (closing) {
            if (open.empty() || open.back() != name)
                return {};
            open.pop_back();
        } else {
            ++counts[name];
            if (xml[end - 1] != '/')
                open.push_back(name);
        }
    }
    return open.empty() ? counts : std::map<std::string, int>{};
}

// "-rw-r-----" and the like, as ls shows a file's type and permissions.
std::string Permissions(const fs::path& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return "missing";
    std::string text = S_ISLNK(info.st_mode) ? "l" : S_ISDIR(info.st_mode) ? "d" : S_ISFIFO(info.st_mode) ? "p" : "-";
    for (int bit = 0; bit < 9; ++bit)
        text += (info.st_mode & (0400 >> bit)) ? "rwxrwxrwx"[bit] : '-';
    return text;
}

// The real program, its standard output sent to `output` ("closed" closes it), its messages
// captured; interrupted with SIGINT after `interruptAfterMs` if that is given.
Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& output, int interruptAfterMs = 0)
{
    int messages[2];
    if (pipe(messages) != 0)
        return {-1, {}, {}};
    const pid_t child = fork();
    if (child == 0) {
        dup2(messages[1], STDERR_FILENO);
        close(messages[0]);
        if (output == "closed")
            close(STDOUT_FILENO);
        else
            freopen(output.c_str(), "w", stdout);
        std::vector<char*> argv{const_cast<char*>(MOKOPERA_SIM)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(MOKOPERA_SIM, argv.data());
        _exit(127);
    }
    close(messages[1]);
    if (interruptAfterMs > 0) {
        usleep(useconds_t(interruptAfterMs) * 1000);
        kill(child, SIGINT);
    }
    std::string err;
    char buffer[4096];
    for (ssize_t got; (got = read(messages[0], buffer, sizeof buffer)) > 0;)
        err.append(buffer, std::size_t(got));
    close(messages[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, err};
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Arguments)
{
    const std::pair<std::vector<std::string>, int> rows[] = {
        {{"-e", "50"}, 0},
        {{"-n", "5..50", "-e", "10"}, 0},
        {{"--help"}, 0},
        {{"-n", "4"}, 2},
        {{"-n", "51"}, 2},
        {{"-n", "50..5"}, 2},
        {{"-n", "5..60"}, 2},
        {{"-n", "7.5"}, 2},
        {{"-e", "0"}, 2},
        {{"-e", "999999999999999999999999"}, 2},
        {{"--seed", "-1"}, 2},
        {{"-n"}, 2},
        {{"--fast"}, 2},
        {{"--plot", ""}, 2},
        {{"--plot", "--csv"}, 2},  // an option is never taken for a value
    };
    for (const auto& [arguments, status] : rows) {
        std::string name;
        for (const std::string& argument : arguments)
            name += argument + " ";
        ROW(name);
        const Outcome outcome = Run(arguments);
        CHECK_EQ(outcome.status, status);
        if (status == 2)
            CHECK(outcome.out.empty() && outcome.err.rfind("mokopera-sim: ", 0) == 0 &&
                  std::count(outcome.err.begin(), outcome.err.end(), '\n') >= 2);
    }
    const Outcome help = Run({"--help"});
    CHECK(Contains(help.out, "使い方") && Contains(help.out, "Usage"));
}

TEST(SeedIsPrintedAndRepeatable)
{
    const Outcome first = Run({"-e", "300"}, 777);
    CHECK(Contains(first.out, "seed: 777"));
    CHECK_EQ(Run({"-e", "300", "--seed", "777"}).out, first.out);
    CHECK(Run({"-e", "300", "--seed", "778"}).out != first.out);
}

TEST(CsvIsRfc4180)
{
    const Outcome outcome = Run({"-n", "5..9", "-e", "200", "--seed", "1", "--csv"});
    CHECK_EQ(outcome.status, 0);
    CHECK(Contains(outcome.err, "seed: 1"));
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = outcome.out.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(outcome.out.substr(at, end - at));
    CHECK_EQ(lines.size(), std::size_t{6});
    CHECK_EQ(lines[0], std::string("shots_per_experiment,experiments,successes,experimental_probability,"
                                   "theoretical_probability,difference_in_standard_errors"));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ROW(lines[i]);
        std::istringstream fields(lines[i]);
        std::string shots, experiments, successes, experimental, theoretical;
        std::getline(fields, shots, ',');
        std::getline(fields, experiments, ',');
        std::getline(fields, successes, ',');
        std::getline(fields, experimental, ',');
        std::getline(fields, theoretical, ',');
        CHECK_EQ(std::stoi(shots), int(4 + i));
        CHECK_EQ(experiments, std::string("200"));
        CHECK_EQ(std::stod(experimental), std::stod(successes) / 200);
        CHECK_EQ(experimental.size(), std::size_t{9});  // "0.0000000"
        if (i == 1)
            CHECK_EQ(theoretical, std::string("0.4095100"));
    }
}

TEST(PlotsAreWellFormedSvg)
{
    const std::tuple<std::vector<std::string>, const char*, int> rows[] = {
        {{"-n", "20", "-e", "5000"}, "polyline", 1},  // the convergence of one N
        {{"-n", "5..50", "-e", "100"}, "circle", 47},  // every N, and the legend's dot
    };
    for (const auto& [arguments, element, count] : rows) {
        ROW(element);
        Folder folder;
        std::vector<std::string> withPlot = arguments;
        for (const char* more : {"--seed", "5", "--plot"})
            withPlot.push_back(more);
        withPlot.push_back((folder.path / "plot.svg").string());
        CHECK_EQ(Run(withPlot).status, 0);
        std::ifstream file(folder.path / "plot.svg");
        const std::string svg((std::istreambuf_iterator<char>(file)), {});
        const auto elements = Elements(svg);
        CHECK_EQ(elements.count("svg") ? elements.at("svg") : 0, 1);
        CHECK_EQ(elements.count(element) ? elements.at(element) : 0, count);
        CHECK(elements.count("text") && elements.at("text") > 10);
        CHECK_EQ(folder.Entries(), std::vector<std::string>{"plot.svg"});
    }
}

// What may stand at the plot's name: only a regular file is replaced, keeping its mode; a new
// file gets the mode the umask allows; a refusal leaves everything as it was, and no temporary
// file is ever left behind.
TEST(PlotTargets)
{
    struct Row {
        const char* target;
        int status;
        const char* after;
    };
    const Row rows[] = {
        {"nothing: a new file as the umask 027 allows", 0, "-rw-r-----"},
        {"a file keeps its mode", 0, "-rw----r--"},
        {"a FIFO is left alone", 2, "prw-------"},
        {"a symbolic link is left alone", 2, "lrwxrwxrwx"},
        {"a folder is left alone", 2, "drwx------"},
        {"a missing folder on the way", 2, "missing"},
        {"a name as long as the file system allows", 0, "-rw-r-----"},
    };
    for (const Row& row : rows) {
        ROW(row.target);
        Folder folder;
        const std::string what = row.target;
        fs::path path = folder.path / "plot.svg";
        if (what.rfind("a file", 0) == 0) {
            std::ofstream(path).put('x');
            fs::permissions(path, fs::perms(0604));
        } else if (what.rfind("a FIFO", 0) == 0) {
            mkfifo(path.c_str(), 0600);
        } else if (what.rfind("a symbolic", 0) == 0) {
            std::ofstream(folder.path / "elsewhere.svg").put('x');
            fs::create_symlink(folder.path / "elsewhere.svg", path);
        } else if (what.rfind("a folder", 0) == 0) {
            fs::create_directory(path);
            fs::permissions(path, fs::perms(0700));
        } else if (what.rfind("a missing", 0) == 0) {
            path = folder.path / "no" / "such" / "plot.svg";
        } else if (what.rfind("a name", 0) == 0) {
            path = folder.path / (std::string(251, 'a') + ".svg");
        }
        const std::vector<std::string> before = folder.Entries();
        const mode_t mask = umask(027);
        const Outcome outcome = Run({"-e", "10", "--plot", path.string()});
        umask(mask);
        CHECK_EQ(outcome.status, row.status);
        std::vector<std::string> expected = before;
        if (row.status == 0 && std::find(before.begin(), before.end(), path.filename()) == before.end())
            expected.push_back(path.filename().string());
        std::sort(expected.begin(), expected.end());
        CHECK_EQ(folder.Entries(), expected);
        CHECK_EQ(Permissions(path), std::string(row.after));
        if (row.status == 2)
            CHECK(outcome.out.empty() && std::count(outcome.err.begin(), outcome.err.end(), '\n') >= 2);
    }
}

// The real program: a standard output it cannot write, and an interrupt while it works.
TEST(UnwritableOutputAndInterrupt)
{
    for (const char* output : {"/dev/full", "closed"}) {
        ROW(output);
        const Outcome outcome = RunProgram({"-e", "10", "--csv"}, output);
        CHECK_EQ(outcome.status, 2);
        CHECK(Contains(outcome.err, "cannot write to the standard output"));
    }
    Folder folder;
    const Outcome outcome =
        RunProgram({"-n", "5..50", "-e", "5000000", "--plot", (folder.path / "plot.svg").string()}, "/dev/null", 1500);
    CHECK_EQ(outcome.status, 130);
    CHECK_EQ(folder.Entries(), std::vector<std::string>{});
    CHECK(Contains(outcome.err, "progress") && !outcome.err.empty() && outcome.err.back() == '\n');
}

TEST(CheckpointsSpreadOverALogScale)
{
    const auto points = LogCheckpoints(1'000'000, 400);
    CHECK_EQ(points.front(), 1LL);
    CHECK_EQ(points.back(), 1'000'000LL);
    CHECK(std::adjacent_find(points.begin(), points.end(), std::greater_equal<>()) == points.end());
    CHECK(points.size() > 300);
    CHECK_EQ(LogCheckpoints(1, 400), std::vector<long long>{1});
}

// The running counts agree with the total, and a large run sits within a few standard errors of
// the theory.
TEST(Statistics)
{
    for (const int shots : {5, 20, 50}) {
        ROW("N = " + std::to_string(shots));
        const auto checkpoints = LogCheckpoints(200'000, 50);
        const BatchResult batch = RunBatch(shots, 200'000, 31, checkpoints);
        CHECK_EQ(batch.running.size(), checkpoints.size());
        CHECK_EQ(batch.running.back().successes, batch.successes);
        for (std::size_t i = 1; i < batch.running.size(); ++i)
            CHECK(batch.running[i].successes >= batch.running[i - 1].successes);
        const Row row = MakeRow(batch);
        CHECK_NOTE(std::fabs(row.standardErrors) < 4.5, std::to_string(row.standardErrors));
    }
}

TEST_MAIN
