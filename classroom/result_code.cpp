#include "classroom/result_code.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <utility>

#include "simulation/rules.h"

namespace mokopera::codes {

namespace {

constexpr int kModulus = 1271;
constexpr int kRadix = 36;
constexpr const char* kSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// A letter's or digit's value: 0-9, then A-Z as 10-35; -1 for any other character.
int Value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// ISO/IEC 7064 MOD 1271-36: the two check characters for the letters and digits of `text`.
std::string Check(std::string_view text)
{
    int p = 0;
    for (char c : text)
        if (Value(c) >= 0)
            p = (p + Value(c)) * kRadix % kModulus;
    p = p * kRadix % kModulus;  // room for the two check characters
    const int check = (kModulus + 1 - p) % kModulus;
    return {kSymbols[check / kRadix], kSymbols[check % kRadix]};
}

// The known versions, by their number: the length of their ids and whether a prediction comes
// after the successes.
struct Version {
    std::size_t idLength;
    bool prediction;
};
constexpr std::array<Version, 3> kVersions = {{{kFirstIdLength, false}, {kIdLength, false}, {kIdLength, true}}};
constexpr std::size_t kFieldWidths[] = {2, 5, 5, 3};  // N, the experiments, the successes, the prediction
constexpr const char* kDontKnowField = "XXX";

// The fields before the id of a version.
std::size_t FieldCount(const Version& version)
{
    return version.prediction ? 4 : 3;
}

// The zero of each run of ten decimal digits in Unicode (14.0) besides ASCII's: Arabic-Indic,
// Devanagari, full width, mathematical … A digit of any script is read as its value.
constexpr char32_t kDigitZeros[] = {
    0x660,   0x6F0,   0x7C0,   0x966,   0x9E6,   0xA66,   0xAE6,   0xB66,   0xBE6,   0xC66,   0xCE6,   0xD66,   0xDE6,
    0xE50,   0xED0,   0xF20,   0x1040,  0x1090,  0x17E0,  0x1810,  0x1946,  0x19D0,  0x1A80,  0x1A90,  0x1B50,  0x1BB0,
    0x1C40,  0x1C50,  0xA620,  0xA8D0,  0xA900,  0xA9D0,  0xA9F0,  0xAA50,  0xABF0,  0xFF10,  0x104A0, 0x10D30, 0x11066,
    0x110F0, 0x11136, 0x111D0, 0x112F0, 0x11450, 0x114D0, 0x11650, 0x116C0, 0x11730, 0x118E0, 0x11950, 0x11C50, 0x11D50,
    0x11DA0, 0x16A60, 0x16AC0, 0x16B50, 0x1D7CE, 0x1D7D8, 0x1D7E2, 0x1D7EC, 0x1D7F6, 0x1E140, 0x1E2F0, 0x1E950, 0x1FBF0,
};

// Characters read as a hyphen: ‐ ‑ ‒ – — ―, −, ー (an input method may give it for a hyphen),
// full-width －, half-width ｰ, small ﹣ and ﹘.
constexpr char32_t kHyphens[] = {0x2D,   0x2010, 0x2011, 0x2012, 0x2013, 0x2014, 0x2015,
                                 0x2212, 0x30FC, 0xFF0D, 0xFF70, 0xFE63, 0xFE58};
// Characters read as a space: the blanks and line breaks, no-break, thin and ideographic spaces,
// and the zero-width ones a chat app puts where it breaks a line.
constexpr char32_t kSpaces[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0xA0,   0x2000, 0x2001,
                                0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A,
                                0x200B, 0x2028, 0x2029, 0x202F, 0x205F, 0x2060, 0x3000, 0xFEFF};

constexpr char kSpace = ' ', kOther = '.', kEnd = '\0';
constexpr int kLongestGap = 8;  // spaces and line breaks inside a code
constexpr std::size_t kLongestField = 12;
constexpr std::size_t kMostFields = 8;

// How the reader sees a character: its ASCII letter or digit (capital), a hyphen, a space, or
// another character.
char Symbol(char32_t c)
{
    if (c < 0x80) {
        const char ascii = static_cast<char>(c);
        if (Value(ascii) >= 0 || ascii == '-')
            return ascii;
        if (ascii >= 'a' && ascii <= 'z')
            return static_cast<char>(ascii - 'a' + 'A');
    }
    if (c >= 0xFF21 && c <= 0xFF3A)  // Ａ-Ｚ
        return static_cast<char>('A' + (c - 0xFF21));
    if (c >= 0xFF41 && c <= 0xFF5A)  // ａ-ｚ
        return static_cast<char>('A' + (c - 0xFF41));
    const auto zero = std::upper_bound(std::begin(kDigitZeros), std::end(kDigitZeros), c);
    if (zero != std::begin(kDigitZeros) && c - *std::prev(zero) < 10)
        return static_cast<char>('0' + (c - *std::prev(zero)));
    if (std::find(std::begin(kHyphens), std::end(kHyphens), c) != std::end(kHyphens))
        return '-';
    if (std::find(std::begin(kSpaces), std::end(kSpaces), c) != std::end(kSpaces))
        return kSpace;
    return kOther;
}

// Whether `text` holds only decimal digits.
bool Digits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsDigit);
}

int Number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// A known version's candidate `text` with its fields, read against the format: its shape and
// check, then its figures.
void Judge(Candidate& candidate, const std::vector<std::string>& fields, const Version& version)
{
    const std::string_view code = candidate.text;
    const std::size_t count = FieldCount(version);
    const std::string& prediction = version.prediction ? fields[3] : std::string();
    const bool shaped = std::equal(std::begin(kFieldWidths), std::begin(kFieldWidths) + count, fields.begin(),
                                   [](std::size_t width, const std::string& field) {
                                       return field.size() == width && (Digits(field) || field == kDontKnowField);
                                   }) &&
                        Digits(fields[0]) && Digits(fields[1]) && Digits(fields[2]);
    if (!shaped || Check(code.substr(0, code.size() - 2)) != code.substr(code.size() - 2)) {
        candidate.refusal = Refusal::WrongCheck;
        return;
    }
    Series series{Number(fields[0]), Number(fields[1]), Number(fields[2]), fields[count].substr(0, version.idLength)};
    if (version.prediction)
        series.prediction = prediction == kDontKnowField ? Prediction::DontKnow() : Prediction::Of(Number(prediction));
    if (version.prediction && series.prediction.percent > 100)
        candidate.refusal = Refusal::PredictionOutOfRange;
    else if (series.shots < rules::kFewestShots || series.shots > rules::kMostShots)
        candidate.refusal = Refusal::ShotsOutOfRange;
    else if (series.experiments > rules::kMostExperiments)
        candidate.refusal = Refusal::TooManyExperiments;
    else if (series.experiments == 0)
        candidate.refusal = Refusal::NoExperiments;
    else if (series.successes > series.experiments)
        candidate.refusal = Refusal::MoreSuccessesThanExperiments;
    else
        candidate = {candidate.text, true, series, {}};
}

}  // namespace

std::string MakeId(std::uint64_t random)
{
    std::string id;
    for (std::size_t i = 0; i < kIdLength; ++i, random /= kRadix)
        id += kSymbols[random % kRadix];
    return id;
}

std::string Encode(const Series& series)
{
    const bool first = series.id.size() == kFirstIdLength;
    const Prediction::Kind kind = first ? Prediction::Kind::None : series.prediction.kind;
    char prediction[8] = "";
    if (kind == Prediction::Kind::Percent)
        std::snprintf(prediction, sizeof prediction, "%03d-", series.prediction.percent);
    else if (kind == Prediction::Kind::DontKnow)
        std::snprintf(prediction, sizeof prediction, "%s-", kDontKnowField);
    char body[48];
    std::snprintf(body, sizeof body, "M%d-%02d-%05d-%05d-%s%s",
                  first                            ? 1
                  : kind == Prediction::Kind::None ? 2
                                                   : 3,
                  series.shots, series.experiments, series.successes, prediction, series.id.c_str());
    return body + Check(body);
}

namespace {

// Each refusal's reason in Japanese and in English, in the order of Refusal.
constexpr std::pair<const char*, const char*> kReasons[] = {
    {"チェック文字が違います", "the check character is wrong"},
    {"成功回数が実験回数より多くなっています", "more successes than experiments"},
    {"撃つ回数 N が５〜５０の外です", "N is outside 5 to 50"},
    {"実験回数が 32767 を超えています", "more than 32767 experiments"},
    {"実験回数が０です", "no experiment"},
    {"知らない形式の番号です", "an unknown version"},
    {"予想が 0〜100％の外です", "the prediction is outside 0 to 100 %"},
};
static_assert(std::size(kReasons) == std::size_t(Refusal::PredictionOutOfRange) + 1);

}  // namespace

const char* ReasonJapanese(Refusal refusal)
{
    return kReasons[static_cast<std::size_t>(refusal)].first;
}

const char* ReasonEnglish(Refusal refusal)
{
    return kReasons[static_cast<std::size_t>(refusal)].second;
}

void CodeReader::Plain(std::string_view part)
{
    pending_.append(part);
    const std::string_view bytes = pending_;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        if (at + std::max<std::size_t>(length, 1) > bytes.size())
            break;  // the rest of the character comes with the next part
        char32_t c = length == 1 ? lead : lead & (0x7FU >> length);
        bool whole = length > 0;
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[at + k]);
            whole = next >> 6 == 2;
            c = c << 6 | (next & 0x3FU);
        }
        plain_ += whole ? Symbol(c) : kOther;
        at += whole ? length : 1;
    }
    pending_.erase(0, at);
}

CodeReader::Step CodeReader::ReadAt(std::size_t start, bool final, std::size_t& end, Candidate& candidate) const
{
    std::size_t at = start + 1;
    // The next symbol past a gap of spaces; kEnd where the text ends, kOther where the gap is too
    // long to lie inside a code.
    const auto next = [&](bool gaps) {
        for (int gap = 0; at < plain_.size() && plain_[at] == kSpace; ++at, ++gap) {
            if (!gaps || gap == kLongestGap)
                return kOther;
        }
        return at < plain_.size() ? plain_[at] : kEnd;
    };
    bool cut = false;  // the text ended before the candidate did
    // A run of letters and digits, spaces inside it where `gaps`, at most `longest`; empty where none.
    const auto run = [&](bool gaps, std::size_t longest) {
        std::string read;
        for (char c = next(true); Value(c) >= 0 && read.size() <= longest; c = next(gaps)) {
            read += c;
            ++at;
        }
        cut = cut || next(gaps) == kEnd;
        return read;
    };
    const std::string version = run(false, 3);
    std::vector<std::string> fields;
    if (!Digits(version) || version.empty() || next(true) != '-')
        return next(true) == kEnd && !final && Digits(version) ? Step::Cut : Step::NotACode;
    const int number = Number(version);
    const bool known = number >= 1 && std::size_t(number) <= kVersions.size();
    const Version format = known ? kVersions[std::size_t(number - 1)] : Version{};
    while (fields.size() < kMostFields && next(true) == '-') {
        ++at;
        const bool tail = known && fields.size() == FieldCount(format);
        if (tail) {
            const std::size_t length = format.idLength + 2;
            std::string read;
            for (char c = next(true); Value(c) >= 0 && read.size() < length; c = next(true)) {
                read += c;
                ++at;
            }
            if (read.size() < length)
                return next(true) == kEnd && !final ? Step::Cut : Step::NotACode;
            fields.push_back(read);
            break;
        }
        fields.push_back(run(known, kLongestField));
        if (fields.back().empty() || fields.back().size() > kLongestField)
            return cut && !final ? Step::Cut : Step::NotACode;
    }
    if (fields.size() < (known ? FieldCount(format) : 3) + 1)
        return next(true) == kEnd && !final ? Step::Cut : Step::NotACode;
    if (!known && !final && (cut || next(true) == kEnd))
        return Step::Cut;  // an unknown version's fields may go on in the next part
    end = at;
    candidate = {"M" + version, false, {}, Refusal::UnknownVersion};
    for (const std::string& field : fields)
        candidate.text += "-" + field;
    if (known) {
        fields.back().erase(fields.back().size() - 2);  // the id, without the check characters
        Judge(candidate, fields, format);
    }
    return Step::Code;
}

std::vector<Candidate> ReadCodes(std::string_view text)
{
    std::vector<Candidate> found;
    CodeReader reader;
    const auto keep = [&found](Candidate&& candidate) { found.push_back(std::move(candidate)); };
    reader.Read(text, keep);
    reader.Finish(keep);
    return found;
}

}  // namespace mokopera::codes
