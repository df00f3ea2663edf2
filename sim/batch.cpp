#include "sim/batch.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace mokopera::sim {

BatchResult RunBatch(int shots, long long experiments, std::uint64_t seed, const std::vector<long long>& checkpoints,
                     std::atomic<long long>* progress, unsigned workers)
{
    workers = std::clamp(workers > 0 ? workers : std::thread::hardware_concurrency(), 1U, unsigned{kBlocks});
    const int width = GroupWidth(workers);
    const int groups = kBlocks / width;
    std::vector<Block> blocks(kBlocks);
    std::atomic<int> next{0};
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(groups));
    auto worker = [&] {
        for (int group = next++; group < groups; group = next++) {
            try {
                GroupRun run(shots, experiments, seed, group, width, checkpoints);
                for (bool done = false; !done;) {
                    const long long before = run.Done();
                    done = run.Advance(4096);
                    if (progress)
                        *progress += run.Done() - before;
                }
                std::copy(run.Blocks().begin(), run.Blocks().end(), blocks.begin() + std::ptrdiff_t{group} * width);
            } catch (...) {
                failures[static_cast<std::size_t>(group)] = std::current_exception();  // thrown below
            }
        }
    };
    workers = std::min(workers, static_cast<unsigned>(groups));
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers; ++t)
        threads.emplace_back(worker);
    worker();
    for (auto& thread : threads)
        thread.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    return Combine(shots, experiments, blocks);
}

}  // namespace mokopera::sim
