// Message boxes on screen: an SDL message box, mirrored on stderr so a log of the run keeps it.
#pragma once

#include "base/message_box.h"

// Shows the box on screen (and on stderr) and returns the button pressed.
BoxAnswer ShowWindowMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons,
                               BoxIcon icon);
