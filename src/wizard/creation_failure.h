// The parts of the window whose creation can fail, and the fatal message of each.
#pragma once

#include <string>

namespace vuni {

enum class CreationFailure { None, MainWindow, Control, ContextMenu, StatusBar };

// The text of the "Erreur" box that ends the program; empty for None.
std::string CreationFailureText(CreationFailure failure);

} // namespace vuni
