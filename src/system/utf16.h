// UTF-8 and the UTF-16 of Windows' wide-character calls. The program keeps every path and
// message in UTF-8; the Windows implementation files convert at the call. Windows only.
#pragma once

#include <string>

std::wstring WidenUtf8(const std::string& text);
std::string NarrowToUtf8(const wchar_t* text);
// The text of a Windows error code (GetLastError), without its closing line break.
std::string WindowsErrorText(unsigned long error);
