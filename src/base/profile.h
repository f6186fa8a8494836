// Private-profile (INI) files, read the way the Windows profile functions read them: a
// section counts as present only when it holds at least one key; section and key names
// match without regard to case; the first section and the first key of a name win (the keys
// of a repeated section are never seen); a line whose first character after blanks is ';'
// is a comment, a line without '=' holds no key; names and values are trimmed of spaces and
// tabs, a value in a matching pair of single or double quotes loses them (the blanks
// inside stay), and values are cut to 2047 characters; integers are decimal, or hexadecimal
// written with "0x" or "$". A UTF-8 byte-order mark before the first line is skipped. The
// file is read once, into memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kProfileValueLength = 2047;

class PrivateProfile {
public:
    // Reads the file through the path resolver; a missing file reads as an empty one.
    static PrivateProfile Load(std::string_view path);
    static PrivateProfile Parse(std::string_view text);

    bool SectionExists(std::string_view section) const;
    // The key's value, or `fallback` when the section or the key is missing. A key that is
    // present with nothing after "=" gives the empty string.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // The key's value as an integer, or `fallback` when it is missing or not a number.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* FindSection(std::string_view name) const;
    const Entry* FindEntry(std::string_view section, std::string_view key) const;

    std::vector<Section> m_sections;
};

// Parses a profile integer: optional sign, then decimal digits, or hexadecimal digits
// after "0x" or "$" (up to 32 bits, taken as signed). False when the text is not one.
bool ParseProfileInteger(std::string_view text, int32_t& value);
