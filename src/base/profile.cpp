// Private-profile reader: parses the whole file once into sections of key/value pairs and
// answers lookups from memory.
#include "base/profile.h"

#include "base/files.h"

#include <strings.h>

namespace {

// The blanks the reader strips around names and values: spaces, tabs and vertical tabs, and
// the carriage return of a line that ends in CR LF.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\r';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A trimmed value in a matching pair of single or double quotes loses them, and keeps the
// blanks inside: name = " rim " reads as " rim ". Quotes that do not match stay.
std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

PrivateProfile PrivateProfile::Load(std::string_view path)
{
    if (!FileExists(path)) return PrivateProfile();
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

PrivateProfile PrivateProfile::Parse(std::string_view text)
{
    PrivateProfile profile;
    // Editors that save UTF-8 may put a byte-order mark first; it would hide the first
    // section's name.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    // Index of the section that takes the keys below it; none before the first section
    // and under a repeated name.
    constexpr size_t kNoSection = static_cast<size_t>(-1);
    size_t current = kNoSection;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(position, end - position));
        position = end + 1;

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            // A repeated section name adds nothing: lookups only ever see the first.
            current = kNoSection;
            if (!profile.FindSection(name)) {
                current = profile.m_sections.size();
                profile.m_sections.push_back({std::string(name), {}});
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == kNoSection || equals == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, equals));
        if (key.empty()) continue;
        std::string_view value = Unquoted(Trim(line.substr(equals + 1)));
        if (value.size() > kProfileValueLength) value = value.substr(0, kProfileValueLength);
        profile.m_sections[current].entries.push_back({std::string(key), std::string(value)});
    }
    return profile;
}

const PrivateProfile::Section* PrivateProfile::FindSection(std::string_view name) const
{
    for (const Section& section : m_sections)
        if (SameName(section.name, name)) return &section;
    return nullptr;
}

const PrivateProfile::Entry* PrivateProfile::FindEntry(std::string_view section,
                                                      std::string_view key) const
{
    const Section* found = FindSection(section);
    if (!found) return nullptr;
    for (const Entry& entry : found->entries)
        if (SameName(entry.key, key)) return &entry;
    return nullptr;
}

bool PrivateProfile::SectionExists(std::string_view section) const
{
    const Section* found = FindSection(section);
    return found && !found->entries.empty();
}

std::string PrivateProfile::ReadString(std::string_view section, std::string_view key,
                                       std::string_view fallback) const
{
    const Entry* entry = FindEntry(section, key);
    return std::string(entry ? std::string_view(entry->value) : fallback);
}

int32_t PrivateProfile::ReadInteger(std::string_view section, std::string_view key,
                                    int32_t fallback) const
{
    const Entry* entry = FindEntry(section, key);
    int32_t value = 0;
    return entry && ParseProfileInteger(entry->value, value) ? value : fallback;
}

bool ParseProfileInteger(std::string_view text, int32_t& value)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;

    uint64_t magnitude = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0 || digit >= base) return false;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (base == 10 && magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    const uint32_t bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    value = static_cast<int32_t>(bits);
    return true;
}
