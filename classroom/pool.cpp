#include "classroom/pool.h"

#include <algorithm>
#include <tuple>

namespace mokopera::classroom {

namespace {

constexpr const char* kSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::uint64_t kRadix = 36;

int Failures(int experiments, int successes)
{
    return experiments - successes;
}

}  // namespace

bool Grew(const codes::Series& earlier, const codes::Series& later)
{
    return later.id == earlier.id && later.shots == earlier.shots && later.prediction == earlier.prediction &&
           later.experiments > earlier.experiments && later.successes >= earlier.successes &&
           Failures(later.experiments, later.successes) >= Failures(earlier.experiments, earlier.successes);
}

Pool::Kept Pool::Pack(const codes::Series& series)
{
    std::uint64_t id = 0;
    for (std::size_t at = 0; at < codes::kIdLength; ++at) {
        const char c = at < series.id.size() ? series.id[at] : '0';
        id = id * kRadix + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    const Prediction& said = series.prediction;
    const std::uint8_t prediction = said.kind == Prediction::Kind::Percent    ? static_cast<std::uint8_t>(said.percent)
                                    : said.kind == Prediction::Kind::DontKnow ? kDontKnow
                                                                              : kNoPrediction;
    return {id,
            static_cast<std::uint16_t>(series.experiments),
            static_cast<std::uint16_t>(series.successes),
            static_cast<std::uint8_t>(series.shots),
            static_cast<std::uint8_t>(series.id.size()),
            prediction};
}

codes::Series Pool::Unpack(const Kept& kept)
{
    std::string id(codes::kIdLength, '0');
    std::uint64_t value = kept.id;
    for (std::size_t at = codes::kIdLength; at-- > 0; value /= kRadix)
        id[at] = kSymbols[value % kRadix];
    id.resize(kept.idLength);
    const Prediction prediction = kept.prediction == kNoPrediction ? Prediction{}
                                  : kept.prediction == kDontKnow   ? Prediction::DontKnow()
                                                                   : Prediction::Of(kept.prediction);
    return {kept.shots, kept.experiments, kept.successes, id, prediction};
}

bool Pool::SameSeries(const Kept& a, const Kept& b)
{
    return a.shots == b.shots && a.id == b.id && a.idLength == b.idLength;
}

bool Pool::SameState(const Kept& a, const Kept& b)
{
    return SameSeries(a, b) && a.prediction == b.prediction;
}

// By N, id, prediction, then experiments and successes.
bool Pool::Before(const Kept& a, const Kept& b)
{
    return std::tie(a.shots, a.id, a.idLength, a.prediction, a.experiments, a.successes) <
           std::tie(b.shots, b.id, b.idLength, b.prediction, b.experiments, b.successes);
}

void Pool::Settle() const
{
    if (settled_ == kept_.size())
        return;
    const auto taken = kept_.begin() + static_cast<std::ptrdiff_t>(settled_);
    std::sort(taken, kept_.end(), Before);
    std::inplace_merge(kept_.begin(), taken, kept_.end(), Before);
    // In each series' states (of one prediction), only those no other state grew from: ordered by successes, the most
    // first, a state is the latest when it has more failures than every state before it (a state
    // grew from another when it has no fewer successes and no fewer failures). Written back in
    // place: a series never has more latest states than states.
    std::size_t write = 0;
    for (std::size_t from = 0; from < kept_.size();) {
        std::size_t to = from + 1;
        while (to < kept_.size() && SameState(kept_[to], kept_[from]))
            ++to;
        if (to - from == 1) {
            kept_[write++] = kept_[from++];
            continue;
        }
        std::vector<Kept> states(kept_.begin() + static_cast<std::ptrdiff_t>(from),
                                 kept_.begin() + static_cast<std::ptrdiff_t>(to));
        std::sort(states.begin(), states.end(), [](const Kept& a, const Kept& b) {
            return std::pair(a.successes, Failures(a.experiments, a.successes)) >
                   std::pair(b.successes, Failures(b.experiments, b.successes));
        });
        const std::size_t first = write;
        int most = -1;
        for (const Kept& state : states) {
            if (Failures(state.experiments, state.successes) > most)
                kept_[write++] = state;
            most = std::max(most, Failures(state.experiments, state.successes));
        }
        std::sort(kept_.begin() + static_cast<std::ptrdiff_t>(first),
                  kept_.begin() + static_cast<std::ptrdiff_t>(write), Before);
        from = to;
    }
    kept_.resize(write);
    settled_ = write;
}

bool Pool::Holds(const Kept& kept) const
{
    const auto found =
        std::lower_bound(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(settled_), kept, Before);
    return found != kept_.begin() + static_cast<std::ptrdiff_t>(settled_) && !Before(kept, *found);
}

void Pool::Take(const codes::Series& series)
{
    kept_.push_back(Pack(series));
    // Settled whenever what was taken in outgrows what was kept, so that a file of the same few
    // codes again and again holds no more than those few.
    if (kept_.size() - settled_ > std::max<std::size_t>(settled_, 4096))
        Settle();
}

bool Pool::Add(const codes::Series& series)
{
    Settle();
    const Kept packed = Pack(series);
    if (Holds(packed))
        return false;
    kept_.push_back(packed);
    Settle();
    return Holds(packed);
}

Pool::Added Pool::Add(std::string_view text)
{
    Added added{codes::ReadCodes(text), {}};
    Settle();
    std::vector<Kept> fresh;  // the text's series that the pool does not hold yet
    for (const codes::Candidate& candidate : added.read) {
        if (!candidate.accepted)
            continue;
        const Kept packed = Pack(candidate.series);
        if (!Holds(packed))
            fresh.push_back(packed);
        Take(candidate.series);
    }
    Settle();
    std::sort(fresh.begin(), fresh.end(), Before);
    fresh.erase(std::unique(fresh.begin(), fresh.end(),
                            [](const Kept& a, const Kept& b) { return !Before(a, b) && !Before(b, a); }),
                fresh.end());
    for (const Kept& kept : fresh) {
        if (Holds(kept))  // not grown by a later code of the text
            added.changed.push_back(Unpack(kept));
    }
    return added;
}

std::vector<codes::Series> Pool::Series() const
{
    std::vector<codes::Series> all;
    Each([&all](codes::Series series) { all.push_back(std::move(series)); });
    return all;
}

std::vector<codes::Series> Pool::Series(int shots) const
{
    Settle();
    std::vector<codes::Series> all;
    const auto first =
        std::partition_point(kept_.begin(), kept_.end(), [shots](const Kept& k) { return k.shots < shots; });
    for (auto at = first; at != kept_.end() && at->shots == shots; ++at)
        all.push_back(Unpack(*at));
    return all;
}

std::vector<codes::Series> Pool::Of(int shots, const std::string& id) const
{
    Settle();
    std::vector<codes::Series> states;
    Kept key = Pack({shots, 0, 0, id});
    key.prediction = 0;  // the first of the series' states, whatever their predictions
    for (auto at = std::lower_bound(kept_.begin(), kept_.end(), key, Before); at != kept_.end() && SameSeries(*at, key);
         ++at)
        states.push_back(Unpack(*at));
    return states;
}

std::vector<std::pair<int, std::size_t>> Pool::Counts() const
{
    Settle();
    std::vector<std::pair<int, std::size_t>> counts;
    for (const Kept& kept : kept_) {
        if (counts.empty() || counts.back().first != kept.shots)
            counts.emplace_back(kept.shots, 0);
        ++counts.back().second;
    }
    return counts;
}

std::vector<std::vector<codes::Series>> Pool::Conflicts() const
{
    Settle();
    std::vector<std::vector<codes::Series>> conflicts;
    for (std::size_t at = 0; at < kept_.size();) {
        std::size_t end = at + 1;
        while (end < kept_.size() && SameSeries(kept_[end], kept_[at]))
            ++end;
        if (end - at > 1) {
            auto& group = conflicts.emplace_back();
            for (std::size_t one = at; one < end; ++one)
                group.push_back(Unpack(kept_[one]));
        }
        at = end;
    }
    return conflicts;
}

std::size_t Pool::Size() const
{
    Settle();
    return kept_.size();
}

std::string Pool::Codes() const
{
    std::string codes;
    Each([&codes](const codes::Series& series) { codes += codes::Encode(series) + "\n"; });
    return codes;
}

}  // namespace mokopera::classroom
