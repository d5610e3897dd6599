#include "wizard/creation_failure.h"

#include "wizard/control_style.h"

#include <string_view>

namespace vuni {

std::string CreationFailureText(CreationFailure failure) {
    std::string_view message;
    switch (failure) {
    case CreationFailure::None:
        return "";
    case CreationFailure::MainWindow:
        message = kFatalMainWindow;
        break;
    case CreationFailure::Control:
        message = kFatalControl;
        break;
    case CreationFailure::ContextMenu:
        message = kFatalContextMenu;
        break;
    case CreationFailure::StatusBar:
        message = kFatalStatusBar;
        break;
    }
    return std::string(message) + std::string(kFatalSuffix);
}

} // namespace vuni
