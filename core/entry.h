#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/experiment_state.h"

namespace mokopera {

enum class EntryKind { Empty, Rejected, Accepted };

// The verdict on an entered shots-per-experiment text; Value is 5..50 when Accepted.
struct EntryOutcome {
    EntryKind Kind = EntryKind::Rejected;
    std::int16_t Value = 0;
    friend bool operator==(const EntryOutcome&, const EntryOutcome&) = default;
};

// Replies of the Yes/No box.
inline constexpr std::int16_t kYes = 6;
inline constexpr std::int16_t kNo = 7;

// The modal dialogs the program asks through. Texts are UTF-8.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The text in the field on OK; the empty text on Cancel, Escape or the close box.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& offered) = 0;
    // kYes or kNo. Yes is the default button; the box has no icon.
    virtual std::int16_t YesNoBox(const std::string& prompt, const std::string& title) = 0;
    // A message with a single OK button.
    virtual void Notice(const std::string& text, const std::string& title) = 0;
};

// The value of the number the text begins with, after leading blanks; 0 when it begins with
// none. Reads '.' as the decimal point whatever the user's locale; "inf" and "nan" are read as
// such, and a number too large for a double reads as 0.
[[nodiscard]] double ReadLeadingNumber(std::string_view text);

// Empty only for the empty text; Accepted with the whole part of a leading number 5..50;
// Rejected otherwise. Never converts an out-of-range value to an integer.
[[nodiscard]] EntryOutcome ValidateShotsEntry(std::string_view text);

enum class AskResult { Accepted, EndProgram };

// Asks for the shots per experiment until an entry is accepted (ShotsPerExperiment set) or the
// user confirms quitting after an empty entry (EndProgram: the caller must end the program and
// run nothing more of its sequence). A rejected entry is asked again offering "20".
[[nodiscard]] AskResult AskShotsPerExperiment(ExperimentState& state, Dialogs& dialogs);

// Multiplies TheoryProduct (1 on entry) by 0.9 N times in single precision and returns
// 1 − TheoryProduct in the pattern "0.0000000": "0.8784233" for N = 20.
[[nodiscard]] std::string ShowTheory(ExperimentState& state);

}  // namespace mokopera
