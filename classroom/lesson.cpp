#include "classroom/lesson.h"

#include <algorithm>

#include "simulation/rules.h"

namespace mokopera {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<int> LessonShots(std::string_view fragment)
{
    if (fragment.starts_with('#'))
        fragment.remove_prefix(1);
    while (!fragment.empty()) {
        const std::size_t end = std::min(fragment.find('&'), fragment.size());
        const std::string_view field = fragment.substr(0, end);
        fragment.remove_prefix(std::min(end + 1, fragment.size()));
        if (!field.starts_with("n="))
            continue;
        const std::string_view digits = field.substr(2);
        if (digits.empty() || digits.size() > 2 || !std::all_of(digits.begin(), digits.end(), IsDigit))
            return std::nullopt;
        const int shots = digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + (digits[1] - '0');
        if (shots < rules::kFewestShots || shots > rules::kMostShots)
            return std::nullopt;
        return shots;
    }
    return std::nullopt;
}

}  // namespace mokopera
