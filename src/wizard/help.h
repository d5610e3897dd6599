// The wizard's help: one French text made of seven sections separated by "¶".
#pragma once

#include <string>

namespace vuni {

constexpr char kHelpSectionMark = '\xB6';

const std::string& HelpText();
// Section n (1-based) of the help text, whole, with its leading blank and line breaks.
std::string HelpSection(size_t n);
// The help shown for a wizard page, or "Pas d'aide sur cette page !".
std::string HelpForPage(int pageInUse);

// The viewer's text for plain file content: the bytes up to the first zero byte.
std::string ViewerText(const unsigned char* data, size_t size);

} // namespace vuni
