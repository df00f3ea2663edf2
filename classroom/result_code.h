#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A series' results as a short code a student can copy, show as a QR code or read aloud, and a
// teacher can paste among any other text: "M1-20-00150-00038-K7Q2XC4".
//
//   M1      the format's version
//   20      N, the shots per experiment (05 to 50), two digits
//   00150   the finished experiments (up to 32767), five digits
//   00038   the successes among them, five digits
//   K7Q2X   the series' id: five random letters and digits
//   C4      two check characters: ISO/IEC 7064 MOD 1271-36 over the letters and digits before
//           them. A pure system: it catches every single changed character and every swap of two
//           neighbouring ones. The fields' fixed widths place every hyphen, so a changed or moved
//           hyphen is caught by the code's shape.
//
// Letters, digits and hyphens only, 25 characters; the numbers in plain decimal digits. Codes are
// read case-insensitively, after the entry box's full-width to ASCII reading, so a code survives
// chat apps and input methods.
namespace mokopera::codes {

struct Series {
    int shots = 0;
    int experiments = 0;
    int successes = 0;
    std::string id;  // five characters, 0-9 and A-Z
};

inline constexpr int kIdLength = 5;

// A new series' id from `random` (the page takes it from the browser's cryptographic generator).
[[nodiscard]] std::string MakeId(std::uint64_t random);

// The code of `series` (N 5 to 50, experiments and successes 0 to 32767, an id from MakeId).
[[nodiscard]] std::string Encode(const Series& series);

// Why a candidate code is refused.
enum class Refusal { WrongCheck, MoreSuccessesThanExperiments, ShotsOutOfRange, TooManyExperiments, UnknownVersion };

// The refusal's reason as the pages and mokopera-sim show it, in Japanese and in English.
[[nodiscard]] const char* ReasonJapanese(Refusal refusal);
[[nodiscard]] const char* ReasonEnglish(Refusal refusal);

struct Candidate {
    std::string text;  // the code as read: ASCII, upper case
    bool accepted = false;
    Series series;      // when accepted
    Refusal refusal{};  // when not
};

// Every code in `text`, in order: each run of letters, digits and hyphens that starts with M, a
// version number and a hyphen, and has the shape of a code. Full-width forms and lower case are
// read as the ASCII capitals.
[[nodiscard]] std::vector<Candidate> ReadCodes(std::string_view text);

}  // namespace mokopera::codes
