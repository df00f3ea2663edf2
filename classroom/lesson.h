#pragma once

#include <optional>
#include <string_view>

namespace mokopera {

// What a teacher's lesson link turns on, from its fragment: "#n=22&predict", "#predict&n=22",
// "#predict", "#n=22", its "&"-separated fields in any order, others passed over.
//   n=N      the entry box offers N instead of 20. Only one or two ASCII digits of a value from 5
//            to 50 count; anything else (none, "99", "abc", "22.5") is no N, and 20 is offered.
//   predict  after each accepted entry, the student is asked to predict the chance before the
//            theory shows.
struct LessonOptions {
    std::optional<int> shots;
    bool predict = false;
    friend bool operator==(const LessonOptions&, const LessonOptions&) = default;
};
[[nodiscard]] LessonOptions ReadLessonOptions(std::string_view fragment);

}  // namespace mokopera
