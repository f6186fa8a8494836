// ProgramFolder on SDL's base path, which each system answers in its own way.
#include "platform/program_folder.h"

#include <SDL2/SDL.h>

std::string ProgramFolder()
{
    char* base = SDL_GetBasePath();
    if (!base) return {};
    std::string folder(base);
    SDL_free(base);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}
