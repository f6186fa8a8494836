// Storage of the shell's global state.
#include "app/globals.h"

bool FullScreen = true;
bool Keys[256] = {};
void* WindowHandle = nullptr;
void* DeviceContext = nullptr;
void* RenderContext = nullptr;
RunOptions Options;
