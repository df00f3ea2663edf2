#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classroom/prediction.h"

// A series' results as a short code a student can copy, show as a QR code or read aloud, and a
// teacher can paste among any other text: "M2-20-00150-00038-K7Q2XA9BA1".
//
//   M2        the format's version
//   20        N, the shots per experiment (05 to 50), two digits
//   00150     the finished experiments (1 to 32767), five digits
//   00038     the successes among them, five digits
//   K7Q2XA9B  the series' id: eight random letters and digits
//   A1        two check characters: ISO/IEC 7064 MOD 1271-36 over the letters and digits before
//             them. A pure system: it catches every single changed character and every swap of
//             two neighbouring ones. The fields' fixed widths place every hyphen, so a changed or
//             moved hyphen is caught by the code's shape.
//
// Version 3 is version 2 with the student's prediction after the successes, for a series of a
// lesson that asks for one: "M3-20-00150-00038-030-K7Q2XA9BB9" for 30 %, "XXX" for わからない. A
// series asked nothing keeps version 2, so a class without predictions sends the codes it always has.
//
// Version 1 is the same with an id of five characters (36^5 ids: a school's year of 2 000 codes
// held two alike with a chance of 3 in 100); its codes are read as they always were. Version 2's
// 36^8 ids make that about 1 in 56 000 for 10 000 codes. A series is known by its id and its N.
//
// Letters, digits and hyphens only; the numbers in plain decimal digits. Codes are read as a
// person means them: in full width or lower case, with any script's digits, with other dashes
// for hyphens, with spaces around the hyphens or a line break anywhere inside (a chat app breaks
// long lines), and glued to a word before them.
namespace mokopera::codes {

struct Series {
    Series() = default;
    Series(int shots, int experiments, int successes, std::string id, Prediction prediction = {})
        : shots(shots), experiments(experiments), successes(successes), id(std::move(id)), prediction(prediction)
    {
    }
    int shots = 0;
    int experiments = 0;
    int successes = 0;
    std::string id;  // 0-9 and A-Z: eight characters in versions 2 and 3, five in version 1
    Prediction prediction;
    friend bool operator==(const Series&, const Series&) = default;
};

// The id of a new series has eight characters; version 1's had five.
inline constexpr std::size_t kIdLength = 8;
inline constexpr std::size_t kFirstIdLength = 5;

// A new series' id from `random` (the page takes it from the browser's cryptographic generator).
[[nodiscard]] std::string MakeId(std::uint64_t random);

// The code of `series` (N 5 to 50, experiments and successes 0 to 32767, an id from MakeId or a
// version 1 code's): version 1 for a five-character id (which has no prediction), else version 3
// for a series with a prediction or わからない, version 2 for one asked nothing.
[[nodiscard]] std::string Encode(const Series& series);

// Why a candidate code is refused.
enum class Refusal : std::uint8_t {
    WrongCheck,
    MoreSuccessesThanExperiments,
    ShotsOutOfRange,
    TooManyExperiments,
    NoExperiments,
    UnknownVersion,
    PredictionOutOfRange,
};

// The refusal's reason as the pages and mokopera-sim show it, in Japanese and in English.
[[nodiscard]] const char* ReasonJapanese(Refusal refusal);
[[nodiscard]] const char* ReasonEnglish(Refusal refusal);

// A text that has every part of a code: M, a version, and its hyphen-separated fields.
struct Candidate {
    std::string text;  // the code as read: ASCII capitals, digits and hyphens, no spaces
    bool accepted = false;
    Series series;      // when accepted
    Refusal refusal{};  // when not
};

// Reads codes from a text that comes in parts (a file read piece by piece, a paste): the codes
// of each part, in order, with a code cut between two parts read whole with the next part. It
// keeps no more than one cut code between parts, whatever the text's size. A text that has not
// every part of a code is no candidate, and is passed over without a word.
class CodeReader {
public:
    // The candidates that `part` completes, each given to `found`.
    template <typename Found>
    void Read(std::string_view part, Found&& found)
    {
        Plain(part);
        Scan(false, found);
    }
    // The end of the text: what was held back is read as it stands.
    template <typename Found>
    void Finish(Found&& found)
    {
        Scan(true, found);
        plain_.clear();
    }

private:
    void Plain(std::string_view part);
    // Reads `plain_` from its start, keeping only a candidate that its end may have cut.
    template <typename Found>
    void Scan(bool final, Found& found)
    {
        std::size_t at = 0;
        Candidate candidate;
        for (;;) {
            at = plain_.find('M', at);
            if (at == std::string::npos) {
                plain_.clear();
                return;
            }
            std::size_t end = at;
            const Step step = ReadAt(at, final, end, candidate);
            if (step == Step::Cut) {
                plain_.erase(0, at);
                return;
            }
            if (step == Step::Code) {
                found(std::move(candidate));
                candidate = {};
            }
            at = step == Step::Code ? end : at + 1;
        }
    }
    enum class Step : std::uint8_t { NotACode, Cut, Code };
    Step ReadAt(std::size_t start, bool final, std::size_t& end, Candidate& candidate) const;

    std::string pending_;  // the bytes of a character that the last part cut
    std::string plain_;    // the text as the reader sees it, one symbol a character
};

// Every code in `text`, in order.
[[nodiscard]] std::vector<Candidate> ReadCodes(std::string_view text);

}  // namespace mokopera::codes
