// Message boxes on screen, mirrored on stderr so a log of the run keeps it: an SDL message box
// on a desktop (window_message_box_desktop.cpp), a message on the page in a browser
// (window_message_box_web.cpp).
#pragma once

#include "base/message_box.h"

// Shows the box on screen (and on stderr) and returns the button pressed.
BoxAnswer ShowWindowMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons,
                               BoxIcon icon);
