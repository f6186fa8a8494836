// Message boxes in a browser: the page shows the message over the canvas (its
// lanternShowMessage) and, for an error, says it in its title. A page cannot wait for a button
// inside a frame, so a question is answered No, as a box closed with Escape answers it.
#include "platform/window_message_box.h"

#include <emscripten.h>
#include <string>

BoxAnswer ShowWindowMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons,
                               BoxIcon icon)
{
    const BoxAnswer answer = PrintMessageBox(text, caption, buttons, icon);
    const std::string textCopy(text), captionCopy(caption);
    EM_ASM({
        if (Module.lanternShowMessage) Module.lanternShowMessage(UTF8ToString($0), UTF8ToString($1), $2 != 0);
    }, textCopy.c_str(), captionCopy.c_str(), icon == BoxIcon::Error ? 1 : 0);
    return answer;
}
