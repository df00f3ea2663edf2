#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mokopera {

enum class EntryKind { Empty, Rejected, Accepted };

// The verdict on an entered shots-per-experiment text; Value is 5..50 when Accepted.
struct EntryOutcome {
    EntryKind Kind = EntryKind::Rejected;
    std::int16_t Value = 0;
    friend bool operator==(const EntryOutcome&, const EntryOutcome&) = default;
};

// The value of the decimal number the text begins with, after leading blanks: an optional sign,
// digits with an optional point, an optional exponent ("7.9", "+12", "1e1", ".5"). 0 when the
// text begins with no such number, and for a number too large or too small for a double.
// '.' is the decimal point whatever the user's locale; full-width digits are not digits here
// (ToHalfWidth reads them first).
[[nodiscard]] double ReadLeadingNumber(std::string_view text);

// The text with full-width digits, decimal point and signs (０-９, ．, ＋, －) and ideographic
// spaces written as their ASCII forms; everything else as it was. A student whose input method is
// in full-width mode types 「２０」 for 20.
[[nodiscard]] std::string ToHalfWidth(std::string_view text);

// Empty only for the empty text; Accepted with the whole part of a leading number 5..50, read
// after ToHalfWidth; Rejected otherwise. Never converts an out-of-range value to an integer.
[[nodiscard]] EntryOutcome ValidateShotsEntry(std::string_view text);

}  // namespace mokopera
