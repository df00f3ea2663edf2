// The batch of mokopera-sim: the same seed gives the same figures whatever the number of workers.

#include <algorithm>
#include <sstream>

#include "classroom/pool.h"
#include "doctest_extras.h"
#include "sim/batch.h"
#include "sim/pool_report.h"
#include "sim/report.h"

using namespace mokopera::sim;

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
             Encode({20, 12, 1, "12E34000"}));
    std::string lines;
    std::istringstream csv(PoolCsv(pool.Series()));
    for (std::string line; std::getline(csv, line);)
        lines += line.substr(0, line.find(',', line.find(',', line.find(',', line.find(',') + 1) + 1) + 1)) + "|";
    CHECK_EQ(lines, "shots_per_experiment,series,experiments,successes|20,\"=\"\"12E34000\"\"\",12,1|"
                    "20,\"=\"\"AAAAA\"\"\",50,44|20,pooled,62,45|22,\"=\"\"00123000\"\"\",10,9|22,pooled,10,9|");
    CHECK(PoolPlot(pool.Series()).description.find("N = 20 の 2 の系列") != std::string::npos);
}
