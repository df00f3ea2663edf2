#pragma once

#include <optional>
#include <string_view>

namespace mokopera {

// A lesson's N from a link's fragment ("#n=22", or "n=22" among other "&"-separated fields): the
// entry box offers it instead of 20. Only one or two ASCII digits of a value from 5 to 50 count;
// anything else (none, "99", "abc", "22.5") is no N, and 20 is offered as always.
[[nodiscard]] std::optional<int> LessonShots(std::string_view fragment);

}  // namespace mokopera
