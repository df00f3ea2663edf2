#include "core/entry.h"

#include <charconv>
#include <cmath>

#include "core/number_text.h"
#include "core/texts.h"

namespace mokopera {

double ReadLeadingNumber(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' ||
                                   text[start] == '\n'))
        ++start;
    bool negative = false;
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
        negative = text[start] == '-';
        ++start;
    }
    // from_chars ignores the locale, unlike strtod, and rejects a second sign.
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (first == last || *first == '+' || *first == '-')
        return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc{} || end == first)
        return 0.0;
    return negative ? -value : value;
}

EntryOutcome ValidateShotsEntry(std::string_view text)
{
    if (text.empty())
        return {EntryKind::Empty, 0};
    const double value = ReadLeadingNumber(text);
    // Written so that NaN fails the test; only 5..50 is ever converted to an integer.
    if (value >= 5.0 && value <= 50.0)
        return {EntryKind::Accepted, static_cast<std::int16_t>(std::floor(value))};
    return {EntryKind::Rejected, 0};
}

AskResult AskShotsPerExperiment(ExperimentState& state, Dialogs& dialogs)
{
    for (;;) {
        state.EnteredText = dialogs.InputBox(texts::kShotsPrompt, texts::kShotsTitle, texts::kOfferedShots);
        const EntryOutcome outcome = ValidateShotsEntry(state.EnteredText);
        if (outcome.Kind == EntryKind::Accepted) {
            state.ShotsPerExperiment = outcome.Value;
            return AskResult::Accepted;
        }
        if (outcome.Kind == EntryKind::Empty) {
            state.Answer = dialogs.YesNoBox(texts::kQuitPrompt, texts::kEntryQuitTitle);
            if (state.Answer == kYes)
                return AskResult::EndProgram;
        }
    }
}

std::string ShowTheory(ExperimentState& state)
{
    constexpr double kMissChance = 0.9;
    for (state.LoopCounter = 1.0F; state.LoopCounter <= state.ShotsPerExperiment; state.LoopCounter += 1.0F)
        state.TheoryProduct = static_cast<float>(static_cast<double>(state.TheoryProduct) * kMissChance);
    const float theory = static_cast<float>(1.0 - static_cast<double>(state.TheoryProduct));
    return FormatProbability(theory);
}

}  // namespace mokopera
