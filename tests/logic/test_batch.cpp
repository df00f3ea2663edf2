// The batch of mokopera-sim: the same seed gives the same figures whatever the number of workers.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

#include "classroom/pool.h"
#include "doctest_extras.h"
#include "sim/batch.h"
#include "sim/pool_report.h"
#include "sim/report.h"
#include "sim/simulator.h"

using namespace mokopera::sim;

namespace {

std::size_t largestAllocation = 0;  // a larger one fails; 0: none fails

}  // namespace

// Every allocation of this program: one larger than `largestAllocation` fails, as it would on a
// machine without the memory. Under AddressSanitizer, which has allocations of its own, the test
// that needs it does not run.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAllocationsOurs = false;
#else
constexpr bool kAllocationsOurs = true;
void* operator new(std::size_t size)
{
    if (largestAllocation != 0 && size > largestAllocation)
        throw std::bad_alloc();
    if (void* made = std::malloc(size > 0 ? size : 1))
        return made;
    throw std::bad_alloc();
}

void operator delete(void* made) noexcept
{
    std::free(made);
}

void operator delete(void* made, std::size_t /*size*/) noexcept
{
    std::free(made);
}
#endif

TEST_CASE("OneWorkerOrSeveral")
{
    const std::vector<long long> checkpoints = {1, 10, 999, 5000, 12345};
    for (const int shots : {5, 20, 50}) {
        INFO("N = ", shots);
        const BatchResult one = RunBatch(shots, 12345, 42, checkpoints, nullptr, 1);
        // The running count is the whole batch's so far: it never falls, and is the total at the end.
        CHECK(std::is_sorted(one.running.begin(), one.running.end(),
                             [](const Checkpoint& a, const Checkpoint& b) { return a.successes < b.successes; }));
        CHECK_EQ(one.running.back().successes, one.successes);
        for (const unsigned workers : {2U, 3U, 16U}) {
            const BatchResult many = RunBatch(shots, 12345, 42, checkpoints, nullptr, workers);
            CHECK_EQ(many.successes, one.successes);
            REQUIRE_EQ(many.running.size(), checkpoints.size());
            for (std::size_t i = 0; i < checkpoints.size(); ++i)
                CHECK_EQ(many.running[i].successes, one.running[i].successes);
        }
    }
}

// The difference from the theory in standard errors of the theory, with its sign: a rate above
// the theory is positive. N = 5 (theory 0.4095100) and 10 000 experiments: one standard error is
// 0.0049176.
TEST_CASE("DifferenceInStandardErrors")
{
    const std::tuple<long long, const char*, const char*> rows[] = {
        {5000, "+18.40", ",18.402\r\n"}, {4000, "-1.93", ",-1.934\r\n"}, {4095, "-0.00", ",-0.002\r\n"}};
    for (const auto& expected : rows) {
        const auto& [successes, table, csv] = expected;
        INFO(std::get<0>(expected), " successes");
        const Row row = MakeRow({5, 10000, successes, {}});
        CHECK_EQ(TableCells(row)[5], std::string(table));
        CHECK(FormatCsv({row}).ends_with(csv));
    }
}

// The class's pool as mokopera-sim reports it: each N's series, then their pooled total; in the
// CSV every id as a formula of its text, so a spreadsheet shows it as written.
TEST_CASE("PoolReport")
{
    using mokopera::codes::Encode;
    mokopera::classroom::Pool pool;
    pool.Add(Encode({20, 50, 44, "AAAAA"}) + " " + Encode({22, 10, 9, "00123000"}) + " " +
             Encode({20, 12, 1, "12E34000"}) + " " + Encode({20, 12, 1, "FALSE"}));
    std::string lines;
    std::istringstream csv(PoolCsv(pool));
    for (std::string line; std::getline(csv, line);)
        lines += line.substr(0, line.find(',', line.find(',', line.find(',', line.find(',') + 1) + 1) + 1)) + "|";
    CHECK_EQ(lines, "shots_per_experiment,series,experiments,successes|20,\"=\"\"12E34000\"\"\",12,1|"
                    "20,\"=\"\"AAAAA\"\"\",50,44|20,\"=\"\"FALSE\"\"\",12,1|20,pooled,74,46|"
                    "22,\"=\"\"00123000\"\"\",10,9|22,pooled,10,9|");
    // Two series on one point: one mark that says so, in the plot and in its words.
    const PoolFigure figure = PoolPlot(pool);
    CHECK(figure.description.find("N = 20 の 3 の系列") != std::string::npos);
    CHECK(figure.description.find("12 回中 1 回に 2 系列") != std::string::npos);
    CHECK(figure.svg.find(">×2</text>") != std::string::npos);
}

// A class's pool larger than the memory there is: a message and status 2, never an abort.
TEST_CASE("PoolLargerThanTheMemory" * doctest::skip(!kAllocationsOurs))
{
    const auto path = std::filesystem::temp_directory_path() / "mokopera-test-large-pool.txt";
    {
        std::ofstream file(path);
        for (std::uint64_t id = 0; id < 10000; ++id)
            file << mokopera::codes::Encode({20, 10, 9, mokopera::codes::MakeId(id)}) << "\n";
    }
    std::ostringstream out, err;
    largestAllocation = std::size_t{1} << 17;
    const int status = RunSimulator(
        {"--pool", path.string()}, out, err, [] { return 1ULL; }, false);
    largestAllocation = 0;
    std::filesystem::remove(path);
    CHECK_EQ(status, 2);
    CHECK(err.str().find("out of memory") != std::string::npos);
    CHECK(out.str().empty());
}

// The funnel plot of the N with the most series (the smaller on a tie, and the same where the N
// asked for has none): its outer band at ±3 standard errors of the theory, and a ring around
// each series outside it, none around one inside.
TEST_CASE("FunnelPlot")
{
    using mokopera::codes::Encode;
    mokopera::classroom::Pool pool;
    // N = 20 (theory 0.8784233): 40 of 100 is far outside ±3; 83 of 100 is inside ±2.5 from it.
    pool.Add(Encode({20, 100, 40, "AAAAAAAA"}) + " " + Encode({20, 100, 95, "BBBBBBBB"}) + " " +
             Encode({22, 100, 90, "CCCCCCCC"}) + " " + Encode({22, 100, 91, "DDDDDDDD"}));
    CHECK_EQ(PoolPlot(pool).shots, 20);
    CHECK_EQ(PoolPlot(pool, 33).shots, 20);
    CHECK_EQ(PoolPlot(pool, 22).shots, 22);
    const std::string svg = PoolPlot(pool).svg;
    const std::string ring = "fill=\"none\" stroke=\"#d00\" stroke-width=\"2\"/>";
    std::size_t rings = 0;
    for (std::size_t at = svg.find(ring); at != std::string::npos; at = svg.find(ring, at + 1))
        ++rings;
    CHECK_EQ(rings, 2U);  // the series at 40 of 100, and the legend's
    // The outer band's upper edge at the plot's right end (1 000 experiments): p + 3 SE, on the
    // plot's scale (rates 0 to 1 from y = 410 up to y = 50).
    const double p = 0.8784233, top = 410 - (p + 3 * StandardError(p, 1000)) * 360;
    const std::size_t band = svg.find("fill=\"#e6f0ff\""), edge = svg.find(" L690,", svg.rfind("<path", band));
    REQUIRE(edge != std::string::npos);
    CHECK(std::stod(svg.substr(edge + 6)) == doctest::Approx(top).epsilon(1e-4));
}
