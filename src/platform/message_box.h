// Message boxes, the stand-in for the Windows MessageBox: an SDL message box mirrored on
// stderr, or stderr alone when the program runs headless. Tests install their own handler
// to see and answer every box.
#pragma once

#include <functional>
#include <string_view>

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { Error, Exclamation, Information };
enum class BoxAnswer { Ok, Yes, No };

using MessageBoxHandler =
    std::function<BoxAnswer(std::string_view text, std::string_view caption, BoxButtons, BoxIcon)>;

// Shows a modal box and returns the answer. Headless, a Yes/No question answers No.
BoxAnswer ShowMessageBox(std::string_view text, std::string_view caption,
                         BoxButtons buttons = BoxButtons::Ok, BoxIcon icon = BoxIcon::Error);

// Replaces the handler (an empty one restores the default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Headless boxes go to stderr only.
void SetHeadlessMessageBoxes(bool headless);
