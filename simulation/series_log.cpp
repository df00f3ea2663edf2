#include "simulation/series_log.h"

#include <random>

namespace mokopera {

std::uint64_t SystemIds::NextId()
{
    std::random_device device;
    return (std::uint64_t{device()} << 32U) | device();
}

void SeriesLog::Begin(int shots)
{
    next_ = {shots, 0, 0, codes::MakeId(ids_.NextId())};
    open_ = true;
}

void SeriesLog::Record(const ExperimentState& record)
{
    const int experiments = record.Successes + record.Failures;
    if (open_ && experiments > 0) {  // the series' first finished experiment: from now on it is listed
        series_.push_back(next_);
        open_ = false;
    }
    if (open_ || series_.empty())
        return;
    series_.back().experiments = experiments;
    series_.back().successes = record.Successes;
}

}  // namespace mokopera
