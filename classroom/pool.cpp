#include "classroom/pool.h"

#include <algorithm>

namespace mokopera::classroom {

bool Grew(const codes::Series& earlier, const codes::Series& later)
{
    return later.id == earlier.id && later.shots == earlier.shots && later.experiments > earlier.experiments &&
           later.successes >= earlier.successes &&
           later.successes - earlier.successes <= later.experiments - earlier.experiments;
}

bool Pool::Add(const codes::Series& series)
{
    std::vector<codes::Series>& kept = kept_[{series.shots, series.id}];
    if (std::any_of(kept.begin(), kept.end(),
                    [&series](const codes::Series& one) { return one == series || Grew(series, one); }))
        return false;
    const auto earlier = std::remove_if(kept.begin(), kept.end(),
                                        [&series](const codes::Series& one) { return Grew(one, series); });
    size_ -= static_cast<std::size_t>(kept.end() - earlier);
    kept.erase(earlier, kept.end());
    kept.insert(std::upper_bound(kept.begin(), kept.end(), series,
                                 [](const auto& a, const auto& b) {
                                     return std::pair(a.experiments, a.successes) < std::pair(b.experiments, b.successes);
                                 }),
                series);
    ++size_;
    return true;
}

Pool::Added Pool::Add(std::string_view text)
{
    Added added{codes::ReadCodes(text), {}};
    std::vector<codes::Series> brought;
    for (const codes::Candidate& candidate : added.read) {
        if (candidate.accepted && Add(candidate.series))
            brought.push_back(candidate.series);
    }
    // What the text brought and the pool still holds (a later code of the text may have grown one).
    for (const codes::Series& series : brought) {
        const auto& kept = kept_.at({series.shots, series.id});
        if (std::find(kept.begin(), kept.end(), series) != kept.end())
            added.changed.push_back(series);
    }
    return added;
}

std::vector<codes::Series> Pool::Series() const
{
    std::vector<codes::Series> all;
    all.reserve(size_);
    for (const auto& [key, kept] : kept_)
        all.insert(all.end(), kept.begin(), kept.end());
    return all;
}

std::vector<std::vector<codes::Series>> Pool::Conflicts() const
{
    std::vector<std::vector<codes::Series>> conflicts;
    for (const auto& [key, kept] : kept_) {
        if (kept.size() > 1)
            conflicts.push_back(kept);
    }
    return conflicts;
}

std::string Pool::Codes() const
{
    std::string codes;
    for (const auto& [key, kept] : kept_) {
        for (const codes::Series& series : kept)
            codes += codes::Encode(series) + "\n";
    }
    return codes;
}

}  // namespace mokopera::classroom
