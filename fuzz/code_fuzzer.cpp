// Fuzzes the result codes' reader and the class's pool with arbitrary text, as a paste or a file
// could bring it. Besides not crashing: every code accepted writes back as itself and holds what
// a code may; a text read in two parts gives what it gives whole; the pool is the same whatever
// the order its codes come in; and each N's pooled total is the sum of its series.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "classroom/pool.h"
#include "classroom/result_code.h"
#include "sim/pool_report.h"

using namespace mokopera;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<codes::Candidate> whole = codes::ReadCodes(text);
    std::vector<codes::Series> accepted;
    for (const codes::Candidate& candidate : whole) {
        if (!candidate.accepted)
            continue;
        const codes::Series& series = candidate.series;
        if (codes::Encode(series) != candidate.text || series.experiments < 1 || series.successes > series.experiments)
            std::abort();
        accepted.push_back(series);
    }
    std::vector<std::string> parts;
    codes::CodeReader reader;
    const auto keep = [&parts](codes::Candidate&& candidate) { parts.push_back(candidate.text); };
    reader.Read(text.substr(0, size / 3), keep);
    reader.Read(text.substr(size / 3), keep);
    reader.Finish(keep);
    if (!std::equal(parts.begin(), parts.end(), whole.begin(), whole.end(),
                    [](const std::string& part, const codes::Candidate& one) { return part == one.text; }))
        std::abort();

    classroom::Pool forward, backward;
    forward.Add(text);
    for (auto series = accepted.rbegin(); series != accepted.rend(); ++series)
        backward.Add(*series);
    if (forward.Series() != backward.Series())
        std::abort();
    for (const auto& [shots, count] : forward.Counts()) {
        long long experiments = 0, successes = 0;
        for (const codes::Series& series : forward.Series(shots)) {
            experiments += series.experiments;
            successes += series.successes;
        }
        const std::vector<std::string> pooled = sim::PooledCells(forward, shots);
        if (pooled[2] != std::to_string(experiments) || pooled[3] != std::to_string(successes))
            std::abort();
    }
    return 0;
}
