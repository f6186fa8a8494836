// The one error type the program raises for a failure that ends the run: a file that
// cannot be opened, read or decoded, or data that breaks its format. The message names
// the file and the fault; the entry shows it in an "Application Error" box, exit code 1.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message, bool alreadyShown = false)
        : std::runtime_error(message), m_alreadyShown(alreadyShown) {}
    // True when a message box has told the user already (the entry then only exits).
    bool AlreadyShown() const { return m_alreadyShown; }

private:
    bool m_alreadyShown;
};

// A FatalError about one file, keeping the file and the fault apart for callers that go on
// after it with a warning instead.
class FileError : public FatalError {
public:
    FileError(std::string file, std::string fault);
    const std::string& File() const { return m_file; }
    const std::string& Fault() const { return m_fault; }

private:
    std::string m_file;
    std::string m_fault;
};

// printf-style formatting into a std::string (load-time use only).
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Raises FileError, a FatalError with the message "<file>: <fault>".
[[noreturn]] void ThrowFileError(std::string_view file, std::string_view fault);
