#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classroom/result_code.h"

namespace mokopera::classroom {

// Whether `later` is the series `earlier` grown: the same id, N and prediction, more experiments,
// no fewer successes, and no more new successes than new experiments (the student went on).
[[nodiscard]] bool Grew(const codes::Series& earlier, const codes::Series& later);

// The class's own results, pooled from the codes the students send; the teacher's page and
// mokopera-sim --pool share it. A series is known by its id and its N. A code of a series the pool
// holds replaces it only when it is that series grown; one that is the same, or an earlier state
// of it, changes nothing; any other code under the same id and N is kept beside it, and the two
// are a conflict for the teacher to see (a series' prediction is asked once, before its first
// shot, so the same series with another prediction is one too). So the pool holds the latest states of everything it
// was given, whatever the order the codes came in, and two pools merge by adding one's codes to the other. It holds 16
// bytes a series.
class Pool {
public:
    // Adds `series` (an accepted code's): whether the pool changed, with a new series or one grown.
    bool Add(const codes::Series& series);
    // Takes in many series at once (a file's): the pool settles the next time it is asked.
    void Take(const codes::Series& series);

    // Adds every accepted code of `text`. Returns every candidate read, in order, accepted or not,
    // and the series that the text added or grew, as the pool now holds them.
    struct Added {
        std::vector<codes::Candidate> read;
        std::vector<codes::Series> changed;
    };
    Added Add(std::string_view text);

    // Every series, or those of one N: by N, then by id; conflicting ones side by side, by their
    // experiments, then successes. Each visits them one at a time.
    [[nodiscard]] std::vector<codes::Series> Series() const;
    [[nodiscard]] std::vector<codes::Series> Series(int shots) const;
    template <typename Visit>
    void Each(Visit visit) const
    {
        Settle();
        for (const Kept& kept : kept_)
            visit(Unpack(kept));
    }
    // The states the pool holds of the series `id` of N `shots`: none, one, or several that conflict.
    [[nodiscard]] std::vector<codes::Series> Of(int shots, const std::string& id) const;
    // Each N that has series, with how many.
    [[nodiscard]] std::vector<std::pair<int, std::size_t>> Counts() const;
    // Each group of series that share an id and an N and conflict.
    [[nodiscard]] std::vector<std::vector<codes::Series>> Conflicts() const;
    [[nodiscard]] std::size_t Size() const;
    // The pool's codes, one a line, in the order of Series(): what the page keeps, and what
    // another pool takes in to merge with it.
    [[nodiscard]] std::string Codes() const;

private:
    // A series packed: its id's letters and digits as a number in base 36, left-aligned to eight
    // places (so that ids order as their texts do), and its length; its prediction as a percentage,
    // kDontKnow or kNoPrediction.
    struct Kept {
        std::uint64_t id;
        std::uint16_t experiments, successes;
        std::uint8_t shots, idLength, prediction;
    };
    static constexpr std::uint8_t kDontKnow = 101, kNoPrediction = 255;
    static_assert(sizeof(Kept) == 16);
    static Kept Pack(const codes::Series& series);
    static codes::Series Unpack(const Kept& kept);
    static bool SameSeries(const Kept& a, const Kept& b);
    static bool SameState(const Kept& a, const Kept& b);  // the same series with the same prediction
    static bool Before(const Kept& a, const Kept& b);
    // Merges what was taken in with what was kept, and keeps only the latest states.
    void Settle() const;
    [[nodiscard]] bool Holds(const Kept& kept) const;

    mutable std::vector<Kept> kept_;  // settled up to `settled_`; taken in after it
    mutable std::size_t settled_ = 0;
};

}  // namespace mokopera::classroom
