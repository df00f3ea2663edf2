// mokopera-sim: its command line, its CSV and SVG, what it does to the files it writes, output
// that cannot be written, an interrupt, and the running counts of a batch.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    std::string Read(const std::string& name) const
    {
        std::ifstream file(path / name);
        return {std::istreambuf_iterator<char>(file), {}};
    }
};

// The real program through the shell, its messages captured.
Outcome Shell(const std::string& command)
{
    Folder folder;
    const int status = std::system((command + " 2>" + (folder.path / "err").string()).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, folder.Read("err")};
}

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
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

}  // namespace

TEST(Arguments)
{
    const std::pair<std::vector<std::string>, int> rows[] = {
        {{"-n", "5..50", "-e", "10"}, 0}, {{"--help"}, 0}, {{"-n", "4"}, 2}, {{"-n", "50..5"}, 2},
        {{"-n", "5..60"}, 2}, {{"-n", "7.5"}, 2}, {{"-e", "0"}, 2}, {{"-e", "999999999999999999999999"}, 2},
        {{"--seed", "-1"}, 2}, {{"-n"}, 2}, {{"--fast"}, 2}, {{"--plot", ""}, 2},
        {{"--plot", "--csv"}, 2},  // an option is never taken for a value
    };
    for (const auto& [arguments, status] : rows) {
        ROW(arguments.front() + " " + (arguments.size() > 1 ? arguments[1] : ""));
        const Outcome outcome = Run(arguments);
        CHECK_EQ(outcome.status, status);
        if (status == 2)
            CHECK(outcome.out.empty() && outcome.err.rfind("mokopera-sim: ", 0) == 0 && Count(outcome.err, "\n") >= 2);
    }
    CHECK(Count(Run({"--help"}).out, "使い方") == 1 && Count(Run({"--help"}).out, "Usage") == 1);
}

TEST(SeedIsPrintedAndRepeatable)
{
    const Outcome first = Run({"-e", "300"}, 777);
    CHECK(Count(first.out, "seed: 777") == 1);
    CHECK_EQ(Run({"-e", "300", "--seed", "777"}).out, first.out);
    CHECK(Run({"-e", "300", "--seed", "778"}).out != first.out);
}

TEST(CsvIsRfc4180)
{
    const Outcome outcome = Run({"-n", "5..9", "-e", "200", "--seed", "1", "--csv"});
    CHECK(outcome.status == 0 && Count(outcome.err, "seed: 1") == 1);
    CHECK(Count(outcome.out, "\r\n") == 6 && Count(outcome.out, "\n") == 6);  // a header and five rows
    CHECK_EQ(outcome.out.substr(0, outcome.out.find("\r\n")),
             std::string("shots_per_experiment,experiments,successes,experimental_probability,"
                         "theoretical_probability,difference_in_standard_errors"));
    CHECK(Count(outcome.out, "\r\n5,200,") == 1 && Count(outcome.out, ",0.4095100,") == 1);  // the theory for N = 5
}

// A well-formed SVG: the convergence of one N, and every N of a range (with the legend's dot).
TEST(Plots)
{
    const std::tuple<const char*, const char*, int> rows[] = {{"20", "<polyline", 1}, {"5..50", "<circle", 47}};
    for (const auto& [shots, element, count] : rows) {
        ROW(shots);
        Folder folder;
        CHECK_EQ(Run({"-n", shots, "-e", "2000", "--plot", (folder.path / "plot.svg").string()}).status, 0);
        const std::string svg = folder.Read("plot.svg");
        CHECK(Count(svg, element) == count && Count(svg, "<text") > 10 && Count(svg, "<svg") == 1);
        CHECK(Count(svg, "<") == Count(svg, ">") && svg.size() > 7 && svg.substr(svg.size() - 7) == "</svg>\n");
        CHECK_EQ(folder.Entries(), std::vector<std::string>{"plot.svg"});
    }
}

// What may stand at the plot's name: only a regular file is replaced, keeping its mode; a new
// file gets the mode the umask allows; a refusal leaves everything as it was, and no temporary
// file is ever left behind.
TEST(PlotTargets)
{
    const std::tuple<const char*, int, const char*> rows[] = {
        {"nothing: a new file as the umask 027 allows", 0, "-rw-r-----"}, {"a file keeps its mode", 0, "-rw----r--"},
        {"a FIFO is left alone", 2, "prw-------"}, {"a symbolic link is left alone", 2, "lrwxrwxrwx"},
        {"a folder is left alone", 2, "drwx------"}, {"a missing folder on the way", 2, "missing"},
        {"a name as long as the file system allows", 0, "-rw-r-----"},
    };
    for (const auto& [target, status, after] : rows) {
        ROW(target);
        Folder folder;
        const std::string what = target;
        fs::path path = folder.path / "plot.svg";
        if (what.rfind("a file", 0) == 0)
            std::ofstream(path).put('x'), fs::permissions(path, fs::perms(0604));
        else if (what.rfind("a FIFO", 0) == 0)
            mkfifo(path.c_str(), 0600);
        else if (what.rfind("a symbolic", 0) == 0)
            std::ofstream(folder.path / "elsewhere.svg").put('x'), fs::create_symlink(folder.path / "elsewhere.svg", path);
        else if (what.rfind("a folder", 0) == 0)
            fs::create_directory(path), fs::permissions(path, fs::perms(0700));
        else if (what.rfind("a missing", 0) == 0)
            path = folder.path / "no" / "plot.svg";
        else if (what.rfind("a name", 0) == 0)
            path = folder.path / (std::string(251, 'a') + ".svg");
        std::vector<std::string> expected = folder.Entries();
        if (status == 0 && !fs::exists(path))
            expected.push_back(path.filename().string());
        const mode_t mask = umask(027);
        const Outcome outcome = Run({"-e", "10", "--plot", path.string()});
        umask(mask);
        CHECK_EQ(outcome.status, status);
        CHECK_EQ(folder.Entries(), expected);
        CHECK_EQ(Permissions(path), std::string(after));
        CHECK(status == 0 || (outcome.out.empty() && Count(outcome.err, "\n") >= 2));
    }
}

// The real program: a standard output it cannot write, and Ctrl-C while it works, which leaves
// no temporary file, ends the progress line and exits with 130.
TEST(UnwritableOutputAndInterrupt)
{
    for (const char* output : {">/dev/full", ">&-"}) {
        ROW(output);
        const Outcome outcome = Shell(std::string(MOKOPERA_SIM) + " -e 10 --csv " + output);
        CHECK(outcome.status == 2 && Count(outcome.err, "cannot write to the standard output") == 1);
    }
    Folder folder;
    const Outcome outcome = Shell("timeout --preserve-status -s INT 1.5 " + std::string(MOKOPERA_SIM) +
                                  " -n 5..50 -e 5000000 --plot " + (folder.path / "plot.svg").string() + " >/dev/null");
    CHECK_EQ(outcome.status, 130);
    CHECK_EQ(folder.Entries(), std::vector<std::string>{});
    CHECK(Count(outcome.err, "progress") > 0 && outcome.err.back() == '\n');
}

// The running counts of a batch end at its total, whatever the number of blocks and threads.
TEST(RunningCounts)
{
    const auto checkpoints = LogCheckpoints(200'000, 50);
    CHECK(checkpoints.front() == 1 && checkpoints.back() == 200'000);
    const BatchResult batch = RunBatch(20, 200'000, 31, checkpoints);
    CHECK_EQ(batch.running.size(), checkpoints.size());
    CHECK_EQ(batch.running.back().successes, batch.successes);
    for (std::size_t i = 1; i < batch.running.size(); ++i)
        CHECK(batch.running[i].successes >= batch.running[i - 1].successes);
}

TEST_MAIN
