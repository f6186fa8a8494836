// Message boxes, the stand-in for the Windows MessageBox. Every layer may show one (the
// loaders do, for damaged data); how it is shown is up to the handler in force. Without one
// the text goes to stderr and a Yes/No question answers No. The platform installs a handler
// that shows a real box on screen; tests install their own to see and answer every box.
#pragma once

#include <functional>
#include <string_view>

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { Error, Exclamation, Information };
enum class BoxAnswer { Ok, Yes, No };

using MessageBoxHandler =
    std::function<BoxAnswer(std::string_view text, std::string_view caption, BoxButtons, BoxIcon)>;

// Shows a modal box through the handler in force and returns the answer.
BoxAnswer ShowMessageBox(std::string_view text, std::string_view caption,
                         BoxButtons buttons = BoxButtons::Ok, BoxIcon icon = BoxIcon::Error);

// Replaces the handler (an empty one restores the stderr default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The default: "caption: text" on stderr; Ok, or No to a question.
BoxAnswer PrintMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons, BoxIcon icon);
