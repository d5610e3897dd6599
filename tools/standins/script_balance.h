// The one check the compiler stand-in makes of a script source: its Script ... EndScript
// and Function ... EndFunction blocks balance.
#pragma once

#include <string_view>

namespace vuni::standin {

// Keywords are counted on lines, letter case ignored, after dropping what follows a ";"
// outside a quoted text. A block opens on a line whose first word is "Script", or whose
// first or second word (after a return type) is "Function"; it closes on a line whose
// first word is "EndScript" or "EndFunction". Blocks do not nest. True when every block
// that opens closes with its own keyword and nothing closes that did not open.
bool BlocksBalance(std::string_view source);

} // namespace vuni::standin
