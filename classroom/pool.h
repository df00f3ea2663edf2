#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classroom/result_code.h"

namespace mokopera::classroom {

// Whether `later` is the series `earlier` grown: the same id and N, more experiments, no fewer
// successes, and no more new successes than new experiments (the student went on).
[[nodiscard]] bool Grew(const codes::Series& earlier, const codes::Series& later);

// The class's own results, pooled from the codes the students send; the teacher's page and
// mokopera-sim --pool share it. A series is known by its id and its N. A code of a series the pool
// holds replaces it only when it is that series grown; one that is the same, or an earlier state
// of it, changes nothing; any other code under the same id and N is kept beside it, and the two
// are a conflict for the teacher to see. So the pool holds the latest states of everything it was
// given, whatever the order the codes came in, and two pools merge by adding one's codes to the
// other.
class Pool {
public:
    // Adds `series` (an accepted code's): whether the pool changed, with a new series or one grown.
    bool Add(const codes::Series& series);

    // Adds every accepted code of `text`. Returns every candidate read, in order, accepted or not,
    // and the series that the text added or grew, as the pool now holds them.
    struct Added {
        std::vector<codes::Candidate> read;
        std::vector<codes::Series> changed;
    };
    Added Add(std::string_view text);

    // The series, by N, then by id (conflicting ones side by side, by their experiments, then successes).
    [[nodiscard]] std::vector<codes::Series> Series() const;
    // Each group of series that share an id and an N and conflict.
    [[nodiscard]] std::vector<std::vector<codes::Series>> Conflicts() const;
    [[nodiscard]] std::size_t Size() const { return size_; }
    // The pool's codes, one a line, in the order of Series(): what the page keeps, and what
    // another pool takes in to merge with it.
    [[nodiscard]] std::string Codes() const;

private:
    std::map<std::pair<int, std::string>, std::vector<codes::Series>> kept_;  // by N and id
    std::size_t size_ = 0;
};

}  // namespace mokopera::classroom
