#include "classroom/lesson.h"

#include <algorithm>

#include "simulation/rules.h"

namespace mokopera {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// N's value: one or two ASCII digits from 5 to 50; none for anything else.
std::optional<int> Shots(std::string_view digits)
{
    if (digits.empty() || digits.size() > 2 || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    const int shots = digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + (digits[1] - '0');
    if (shots < rules::kFewestShots || shots > rules::kMostShots)
        return std::nullopt;
    return shots;
}

}  // namespace

LessonOptions ReadLessonOptions(std::string_view fragment)
{
    LessonOptions options;
    bool shotsRead = false;  // the first n= field is the one that counts
    if (fragment.starts_with('#'))
        fragment.remove_prefix(1);
    while (!fragment.empty()) {
        const std::size_t end = std::min(fragment.find('&'), fragment.size());
        const std::string_view field = fragment.substr(0, end);
        fragment.remove_prefix(std::min(end + 1, fragment.size()));
        if (field == "predict") {
            options.predict = true;
        } else if (field.starts_with("n=") && !shotsRead) {
            options.shots = Shots(field.substr(2));
            shotsRead = true;
        }
    }
    return options;
}

}  // namespace mokopera
