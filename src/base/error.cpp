// Error formatting helpers shared by every loader.
#include "base/error.h"

#include <cstdarg>
#include <cstdio>

std::string StrFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

FileError::FileError(std::string file, std::string fault)
    : FatalError(file + ": " + fault), m_file(std::move(file)), m_fault(std::move(fault))
{
}

void ThrowFileError(std::string_view file, std::string_view fault)
{
    throw FileError(std::string(file), std::string(fault));
}
