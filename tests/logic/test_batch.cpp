// The batch of mokopera-sim: the same seed gives the same figures whatever the number of workers.

#include "doctest_extras.h"
#include "sim/batch.h"

using namespace mokopera::sim;

TEST_CASE("OneWorkerOrSeveral")
{
    const std::vector<long long> checkpoints = {1, 10, 999, 5000, 12345};
    for (const int shots : {5, 20, 50}) {
        INFO("N = ", shots);
        const BatchResult one = RunBatch(shots, 12345, 42, checkpoints, nullptr, 1);
        for (const unsigned workers : {2U, 3U, 16U}) {
            const BatchResult many = RunBatch(shots, 12345, 42, checkpoints, nullptr, workers);
            CHECK_EQ(many.successes, one.successes);
            REQUIRE_EQ(many.running.size(), checkpoints.size());
            for (std::size_t i = 0; i < checkpoints.size(); ++i)
                CHECK_EQ(many.running[i].successes, one.running[i].successes);
        }
    }
}
