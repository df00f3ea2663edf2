#include "classroom/result_code.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "simulation/entry.h"
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

std::string Body(const Series& series)
{
    char text[32];
    std::snprintf(text, sizeof text, "M1-%02d-%05d-%05d-%s", series.shots, series.experiments, series.successes,
                  series.id.c_str());
    return text;
}

// The text with the forms a chat app or an input method may give a code read as ASCII capitals:
// full-width digits, letters and hyphens, the other dashes, and lower case.
std::string Plain(std::string_view text)
{
    const std::string half = ToHalfWidth(text);
    std::string plain;
    plain.reserve(half.size());
    for (std::size_t at = 0; at < half.size(); ++at) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(half[at + k]); };
        if (at + 2 < half.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD) &&
            ((byte(1) == 0xBC && byte(2) >= 0xA1 && byte(2) <= 0xBA) ||
             (byte(1) == 0xBD && byte(2) >= 0x81 && byte(2) <= 0x9A))) {
            plain += static_cast<char>('A' + (byte(2) - (byte(1) == 0xBC ? 0xA1 : 0x81)));  // Ａ-Ｚ, ａ-ｚ
            at += 2;
        } else if (at + 2 < half.size() &&
                   ((byte(0) == 0xE2 && byte(1) == 0x80 && byte(2) >= 0x90 && byte(2) <= 0x95) ||
                    (byte(0) == 0xE2 && byte(1) == 0x88 && byte(2) == 0x92) ||
                    (byte(0) == 0xE3 && byte(1) == 0x83 && byte(2) == 0xBC))) {
            plain += '-';  // ‐ ‑ ‒ – — ―, −, and ー, which an input method may give for a hyphen
            at += 2;
        } else {
            const char c = half[at];
            plain += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return plain;
}

// Reads a field of `width` decimal digits; -1 when `text` is none.
int Number(std::string_view text, std::size_t width)
{
    if (text.size() != width)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The candidate `text` (a run of capitals, digits and hyphens that starts M, a version and a
// hyphen) read against the format: its version, its shape and check, then its figures.
Candidate Read(std::string text)
{
    Candidate candidate;
    candidate.text = std::move(text);
    const std::string_view code = candidate.text;
    const auto refuse = [&candidate](Refusal refusal) {
        candidate.refusal = refusal;
        return candidate;
    };
    if (!code.starts_with("M1-"))
        return refuse(Refusal::UnknownVersion);
    std::vector<std::string_view> fields;
    for (std::size_t from = 3, to = 0; from <= code.size(); from = to + 1) {
        to = std::min(code.find('-', from), code.size());
        fields.push_back(code.substr(from, to - from));
    }
    const int shots = fields.size() == 4 ? Number(fields[0], 2) : -1;
    const int experiments = shots < 0 ? -1 : Number(fields[1], 5), successes = shots < 0 ? -1 : Number(fields[2], 5);
    const std::string_view tail = fields.back();
    if (shots < 0 || experiments < 0 || successes < 0 || tail.size() != kIdLength + 2 ||
        !std::all_of(tail.begin(), tail.end(), [](char c) { return Value(c) >= 0; }) ||
        Check(code.substr(0, code.size() - 2)) != code.substr(code.size() - 2))
        return refuse(Refusal::WrongCheck);
    if (shots < rules::kFewestShots || shots > rules::kMostShots)
        return refuse(Refusal::ShotsOutOfRange);
    if (experiments > 32767)
        return refuse(Refusal::TooManyExperiments);
    if (successes > experiments)
        return refuse(Refusal::MoreSuccessesThanExperiments);
    candidate.accepted = true;
    candidate.series = {shots, experiments, successes, std::string(tail.substr(0, kIdLength))};
    return candidate;
}

bool Alphanumeric(char c)
{
    return Value(c) >= 0;
}

}  // namespace

std::string MakeId(std::uint64_t random)
{
    std::string id;
    for (int i = 0; i < kIdLength; ++i, random /= kRadix)
        id += kSymbols[random % kRadix];
    return id;
}

std::string Encode(const Series& series)
{
    const std::string body = Body(series);
    return body + Check(body);
}

namespace {

// Each refusal's reason in Japanese and in English, in the order of Refusal.
constexpr std::pair<const char*, const char*> kReasons[] = {
    {"チェック文字が違います", "the check character is wrong"},
    {"成功回数が実験回数より多くなっています", "more successes than experiments"},
    {"撃つ回数 N が５〜５０の外です", "N is outside 5 to 50"},
    {"実験回数が 32767 を超えています", "more than 32767 experiments"},
    {"知らない形式の番号です", "an unknown version"},
};
static_assert(std::size(kReasons) == std::size_t(Refusal::UnknownVersion) + 1);

}  // namespace

const char* ReasonJapanese(Refusal refusal)
{
    return kReasons[static_cast<std::size_t>(refusal)].first;
}

const char* ReasonEnglish(Refusal refusal)
{
    return kReasons[static_cast<std::size_t>(refusal)].second;
}

std::vector<Candidate> ReadCodes(std::string_view text)
{
    const std::string plain = Plain(text);
    std::vector<Candidate> found;
    for (std::size_t at = 0; at < plain.size(); ++at) {
        if (plain[at] != 'M' || (at > 0 && Alphanumeric(plain[at - 1])))
            continue;
        std::size_t end = at + 1;
        while (end < plain.size() && plain[end] >= '0' && plain[end] <= '9')
            ++end;
        if (end == at + 1 || end >= plain.size() || plain[end] != '-')
            continue;
        while (end < plain.size() && (Value(plain[end]) >= 0 || plain[end] == '-'))
            ++end;
        std::size_t last = end;
        while (plain[last - 1] == '-')
            --last;  // a hyphen after a code is the text's, not the code's
        found.push_back(Read(plain.substr(at, last - at)));
        at = end - 1;
    }
    return found;
}

}  // namespace mokopera::codes
