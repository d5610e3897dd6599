// The kinds of message box the system shows and the answers they give. Failures go to boxes
// titled "Erreur", information and Yes/No questions to "Info", warnings to "Attention".
#pragma once

namespace vuni {

enum class MessageKind {
    Info,    // OK, information icon
    YesNo,   // Yes and No, question icon
    Error,   // OK, error icon
    Warning, // OK, warning icon
};

enum class MessageAnswer { Ok, Yes, No };

} // namespace vuni
