#pragma once
// The outcome of checking a changed field value, and how it is shown.
#include <QString>

namespace zedora {

class Interaction;

// What a refused value is replaced with.
inline constexpr const char* kRefusedValue = "  ";

struct ChangeCheckResult {
    enum class Outcome {
        Accepted,
        Refused,     // show the message and set the field to kRefusedValue
        DiscardEdit, // the record has no name: drop its pending edit
    };
    Outcome outcome = Outcome::Accepted;
    QString message;
    bool asWarning = false; // warning box (with beep) instead of an error box

    bool accepted() const { return outcome == Outcome::Accepted; }
    static ChangeCheckResult accept() { return {}; }
};

// Shows the message of a refused value (beep first for a warning); nothing
// for the other outcomes.
void showRefusal(const ChangeCheckResult& result, Interaction& ui);

} // namespace zedora
