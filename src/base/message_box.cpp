// The message-box hook and its stderr default.
#include "base/message_box.h"

#include <cstdio>

namespace {

MessageBoxHandler g_handler;

} // namespace

BoxAnswer PrintMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons, BoxIcon)
{
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

BoxAnswer ShowMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons, BoxIcon icon)
{
    if (g_handler) return g_handler(text, caption, buttons, icon);
    return PrintMessageBox(text, caption, buttons, icon);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}
