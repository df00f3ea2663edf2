#include "simulation/entry.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "simulation/rules.h"

namespace mokopera {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The length of the decimal number at the start of `text` (no sign, no blanks): digits with an
// optional point, at least one digit in all, then an optional exponent that has digits. 0 if
// there is none.
std::size_t NumberLength(std::string_view text)
{
    std::size_t at = 0, digits = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at)
        ++digits;
    if (at < text.size() && text[at] == '.')
        for (++at; at < text.size() && IsDigit(text[at]); ++at)
            ++digits;
    if (digits == 0)
        return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            while (exponent < text.size() && IsDigit(text[exponent]))
                ++exponent;
            at = exponent;
        }
    }
    return at;
}

}  // namespace

double ReadLeadingNumber(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() &&
           (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' || text[start] == '\n'))
        ++start;
    bool negative = false;
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
        negative = text[start] == '-';
        ++start;
    }
    const std::size_t length = NumberLength(text.substr(start));
    if (length == 0)
        return 0.0;
    // The number is now plain digits, a '.', an 'e' and a sign: strtod converts it exactly, once
    // its point is written as the C library's current locale writes one.
    std::string number(text.substr(start, length));
    const std::string point = std::localeconv()->decimal_point;
    if (const auto dot = number.find('.'); dot != std::string::npos && point != ".")
        number.replace(dot, 1, point);
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE)
        return 0.0;
    return negative ? -value : value;
}

std::string ToHalfWidth(std::string_view text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        // U+FF0B ＋, U+FF0D －, U+FF0E ．, U+FF10..U+FF19 ０-９: EF BC 8B..99 in UTF-8.
        if (text.compare(at, 2, "\xEF\xBC") == 0 && at + 2 < text.size()) {
            const auto last = static_cast<unsigned char>(text[at + 2]);
            if (last == 0x8B || last == 0x8D || last == 0x8E || (last >= 0x90 && last <= 0x99)) {
                ascii += static_cast<char>('+' + (last - 0x8B));  // the same order as in ASCII
                at += 2;
                continue;
            }
        }
        if (text.compare(at, 3, "\u3000") == 0) {  // the ideographic space
            ascii += ' ';
            at += 2;
            continue;
        }
        ascii += text[at];
    }
    return ascii;
}

EntryOutcome ValidateShotsEntry(std::string_view text)
{
    if (text.empty())
        return {EntryKind::Empty, 0};
    const double value = ReadLeadingNumber(ToHalfWidth(text));
    if (value >= rules::kFewestShots && value <= rules::kMostShots)
        return {EntryKind::Accepted, static_cast<std::int16_t>(std::floor(value))};
    return {EntryKind::Rejected, 0};
}

}  // namespace mokopera
