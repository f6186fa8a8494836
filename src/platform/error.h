// The one error type the program raises for a failure that ends the run: a file that
// cannot be opened, read or decoded, or data that breaks its format. The message names
// the file and the fault; the entry shows it in an "Application Error" box, exit code 1.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class FatalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// printf-style formatting into a std::string (load-time use only).
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Raises FatalError with the message "<file>: <fault>".
[[noreturn]] void ThrowFileError(std::string_view file, std::string_view fault);
