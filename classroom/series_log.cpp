#include "classroom/series_log.h"

#include <random>

namespace mokopera {

std::uint64_t SystemIds::NextId()
{
    std::random_device device;
    return (std::uint64_t{device()} << 32U) | device();
}

SeriesLog::SeriesLog(IdSource& ids, SeriesStorage* storage) : ids_(ids), storage_(storage)
{
    if (!storage_)
        return;
    for (const codes::Candidate& kept : codes::ReadCodes(storage_->Load())) {
        if (kept.accepted)
            series_.push_back(kept.series);
    }
}

void SeriesLog::Begin(int shots)
{
    next_ = {shots, 0, 0, codes::MakeId(ids_.NextId())};
    open_ = true;
    current_ = false;
}

void SeriesLog::Predict(const Prediction& prediction)
{
    if (open_)
        next_.prediction = prediction;
}

void SeriesLog::Record(const ExperimentState& record)
{
    const int experiments = record.Successes + record.Failures;
    if (open_ && experiments > 0) {  // the series' first finished experiment: from now on it is listed
        series_.push_back(next_);
        open_ = false;
        current_ = true;
    }
    if (!current_ || series_.back().experiments == experiments)
        return;
    series_.back().experiments = experiments;
    series_.back().successes = record.Successes;
    Save();
}

void SeriesLog::Save()
{
    if (!storage_)
        return;
    std::string codes;
    for (const codes::Series& series : series_)
        codes += codes::Encode(series) + "\n";
    storage_->Save(codes);
}

}  // namespace mokopera
