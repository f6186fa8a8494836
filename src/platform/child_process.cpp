// What every system's child process shares: the kept tail of its output.
#include "platform/child_process.h"

namespace {

constexpr size_t kKeptOutputBytes = 8192;

} // namespace

void ChildProcess::KeepChunk(const char* chunk, size_t size)
{
    m_tail.append(chunk, size);
    if (m_tail.size() > 2 * kKeptOutputBytes) m_tail.erase(0, m_tail.size() - kKeptOutputBytes);
}

std::string ChildProcess::Output() const
{
    std::string text = m_tail.size() > kKeptOutputBytes ? m_tail.substr(m_tail.size() - kKeptOutputBytes) : m_tail;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}
