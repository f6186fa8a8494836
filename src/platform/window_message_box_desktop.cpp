// Message boxes on a desktop: SDL message boxes.
#include "platform/window_message_box.h"

#include <SDL2/SDL.h>
#include <string>

BoxAnswer ShowWindowMessageBox(std::string_view text, std::string_view caption, BoxButtons buttons,
                               BoxIcon icon)
{
    PrintMessageBox(text, caption, buttons, icon);
    const std::string textCopy(text), captionCopy(caption);
    Uint32 flags = SDL_MESSAGEBOX_ERROR;
    if (icon == BoxIcon::Exclamation) flags = SDL_MESSAGEBOX_WARNING;
    if (icon == BoxIcon::Information) flags = SDL_MESSAGEBOX_INFORMATION;
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"}};
    SDL_MessageBoxData data{};
    data.flags = flags;
    data.title = captionCopy.c_str();
    data.message = textCopy.c_str();
    if (buttons == BoxButtons::YesNo) {
        data.numbuttons = 2;
        data.buttons = yesNoButtons;
    } else {
        data.numbuttons = 1;
        data.buttons = okButton;
    }
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
        return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
    if (buttons == BoxButtons::YesNo) return pressed == 1 ? BoxAnswer::Yes : BoxAnswer::No;
    return BoxAnswer::Ok;
}
