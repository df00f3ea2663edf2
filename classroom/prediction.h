#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mokopera {

// A student's guess, before firing, at the chance of at least one hit in N shots: a whole
// percentage from 0 to 100, 「わからない」, or none (no question was asked: a lesson without
// predictions, or a code from before they were asked).
struct Prediction {
    enum class Kind : std::uint8_t { None, DontKnow, Percent };
    Kind kind = Kind::None;
    int percent = 0;  // 0 to 100 when kind is Percent, else 0

    [[nodiscard]] static constexpr Prediction Of(int percent) { return {Kind::Percent, percent}; }
    [[nodiscard]] static constexpr Prediction DontKnow() { return {Kind::DontKnow, 0}; }
    friend bool operator==(const Prediction&, const Prediction&) = default;
};

// The question asked after an entry of `shots` is accepted, with N in it.
[[nodiscard]] std::string PredictionQuestion(int shots);

// What the field beside the slider holds, read as the entry box reads N: full-width digits and
// spaces as their ASCII forms, blanks around, an optional % or ％ after. Only a whole number from
// 0 to 100 is an answer; anything else (empty, "abc", "101", "-5", "30.5") is none.
[[nodiscard]] std::optional<int> ReadPercent(std::string_view text);

// How a prediction is written: 「30％」, 「わからない」, 「なし」.
[[nodiscard]] std::string PredictionText(const Prediction& prediction);

// One series set beside its prediction, in one sentence: 「予想 30％、実験 0.6500000、理論 0.6513215」
// (the rate and the theory as the window shows them; 「予想 なし」 or 「予想 わからない」 without a
// percentage).
[[nodiscard]] std::string ComparisonSentence(const Prediction& prediction, int shots, long long experiments,
                                             long long successes);

// The linear guess, the known error for 「少なくとも１回」: one hit in ten, so ten percent a shot
// added up, min(100, 10·N) percent.
[[nodiscard]] int LinearGuessPercent(int shots);

// The class's predictions for one N, against the theory: how many series predicted a
// percentage, said わからない, or were asked nothing; how many of the percentages lie within 10
// points of the theory, and how many at or above the linear guess; and their median.
struct PredictionSummary {
    int shots = 0;
    int predicted = 0;
    int dontKnow = 0;
    int none = 0;
    int nearTheory = 0;
    int linearOrAbove = 0;
    std::optional<double> median;  // in percent; none without a percentage
};
[[nodiscard]] PredictionSummary SummarizePredictions(int shots, std::span<const Prediction> predictions);

// The summary in words, as the teacher's page and mokopera-sim --pool say it.
[[nodiscard]] std::string PredictionSummaryText(const PredictionSummary& summary);

}  // namespace mokopera
