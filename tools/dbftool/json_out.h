// Buffered JSON output for dbftool's commands: strings escaped for JSON,
// numbers in their shortest exact form, written to a stream in large blocks
// so that dumping millions of records costs no allocation per value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace dbftool {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view str);
// Appends a quoted JSON string of UTF-8 text to out; a byte that is not part
// of valid UTF-8 becomes U+FFFD, so the output always parses.
void AppendJsonString(std::string& out, std::string_view strUtf8);

class CJsonOut {
public:
    explicit CJsonOut(std::FILE* pFile);
    ~CJsonOut();
    CJsonOut(const CJsonOut&) = delete;
    CJsonOut& operator=(const CJsonOut&) = delete;

    // Bytes as they are (punctuation, keys known to be plain ASCII).
    void Raw(std::string_view str) { m_buffer.append(str); }
    void Raw(char c) { m_buffer.push_back(c); }
    // A quoted string from UTF-8 text (see AppendJsonString).
    void String(std::string_view strUtf8) { AppendJsonString(m_buffer, strUtf8); }
    void Integer(int64_t n);
    // The shortest text that reads back as the same double; null for NaN
    // and the infinities, which JSON cannot express.
    void Double(double d);
    // Writes the buffer out. False once any write has failed.
    bool Flush();
    // Writes the buffer out once it has grown large; called between whole
    // lines, so that a failing command never leaves half a line behind.
    void FlushIfFull() {
        if (m_buffer.size() >= kFlushAt) Flush();
    }
    // Bytes written since the last flush, and dropping them again: a
    // command that fails half-way through a line takes the half line back.
    size_t GetPending() const { return m_buffer.size(); }
    void DropPendingFrom(size_t nPos) {
        if (nPos < m_buffer.size()) m_buffer.resize(nPos);
    }

private:
    static constexpr size_t kFlushAt = 1 << 16;
    std::FILE* m_pFile;
    std::string m_buffer;
    bool m_bFailed = false;
};

}  // namespace dbftool
