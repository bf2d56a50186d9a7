// JSON escaping and number formatting for dbftool.
#include "tools/dbftool/json_out.h"

#include <charconv>
#include <cmath>

namespace dbftool {

namespace {

// Length of the UTF-8 sequence starting at p (at most n bytes available), or
// 0 when it is not a well-formed sequence.
size_t Utf8SequenceLength(const unsigned char* p, size_t n) {
    unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t nLen;
    char32_t nMin;
    if ((c & 0xE0) == 0xC0) {
        nLen = 2;
        nMin = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        nLen = 3;
        nMin = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        nLen = 4;
        nMin = 0x10000;
    } else {
        return 0;
    }
    if (n < nLen) return 0;
    char32_t cp = c & (0x7F >> nLen);
    for (size_t i = 1; i < nLen; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return nLen;
}

}  // namespace

bool IsValidUtf8(std::string_view str) {
    auto* p = reinterpret_cast<const unsigned char*>(str.data());
    for (size_t i = 0; i < str.size();) {
        size_t nLen = Utf8SequenceLength(p + i, str.size() - i);
        if (nLen == 0) return false;
        i += nLen;
    }
    return true;
}

CJsonOut::CJsonOut(std::FILE* pFile) : m_pFile(pFile) { m_buffer.reserve(kFlushAt + 4096); }

CJsonOut::~CJsonOut() { Flush(); }

bool CJsonOut::Flush() {
    if (!m_buffer.empty() && !m_bFailed) {
        if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_pFile) != m_buffer.size()) m_bFailed = true;
    }
    m_buffer.clear();
    if (!m_bFailed && std::fflush(m_pFile) != 0) m_bFailed = true;
    return !m_bFailed;
}

void AppendJsonString(std::string& out, std::string_view strUtf8) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    auto* p = reinterpret_cast<const unsigned char*>(strUtf8.data());
    const size_t n = strUtf8.size();
    size_t nRun = 0;  // start of the bytes copied as they are
    auto copyRun = [&](size_t nEnd) { out.append(strUtf8.data() + nRun, nEnd - nRun); };
    for (size_t i = 0; i < n;) {
        unsigned char c = p[i];
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            size_t nLen = Utf8SequenceLength(p + i, n - i);
            if (nLen) {
                i += nLen;
                continue;
            }
        }
        copyRun(i);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += "\\ufffd";
            }
        }
        nRun = ++i;
    }
    copyRun(n);
    out.push_back('"');
}

void CJsonOut::Integer(int64_t n) {
    char sz[24];
    auto result = std::to_chars(sz, sz + sizeof sz, n);
    m_buffer.append(sz, result.ptr);
}

void CJsonOut::Double(double d) {
    if (!std::isfinite(d)) {
        m_buffer += "null";
        return;
    }
    char sz[32];
    auto result = std::to_chars(sz, sz + sizeof sz, d);
    m_buffer.append(sz, result.ptr);
}

}  // namespace dbftool
