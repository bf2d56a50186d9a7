// The fuzz targets' scratch folder and input splitting.
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fuzz {

namespace fs = std::filesystem;

namespace {
void RemoveScratch() {
    std::error_code ec;
    fs::remove_all(ScratchDir(), ec);
}
}  // namespace

const std::string& ScratchDir() {
    static const std::string strDir = [] {
        // Memory-backed when the system has it: each input is a few files.
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string strTemplate = (base / "tabulon-fuzz-XXXXXX").string();
        if (!mkdtemp(strTemplate.data())) throw std::runtime_error("mkdtemp failed");
        return strTemplate;
    }();
    static const bool bRegistered = (std::atexit(RemoveScratch), true);
    (void)bRegistered;
    return strDir;
}

std::string ScratchPath(const std::string& strName) { return ScratchDir() + "/" + strName; }

void WriteFile(const std::string& strPath, const uint8_t* p, size_t n) {
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + strPath);
    if (n) std::fwrite(p, 1, n, f);
    std::fclose(f);
}

void ClearScratch() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(ScratchDir(), ec)) fs::remove(entry.path(), ec);
}

std::string WriteScratchTable(uint8_t nKind, const Bytes& table, const Bytes& memo) {
    ClearScratch();
    static const char* const kMemoExt[] = {nullptr, "FPT", "DBT", "DCT", "SMT"};
    const unsigned nMemo = (nKind & 7) % 5;
    const std::string strTable = ScratchPath(nMemo == 3 ? "t.dbc" : "t.dbf");
    WriteFile(strTable, table);
    if (kMemoExt[nMemo]) {
        std::string strExt = kMemoExt[nMemo];
        if (nKind & 8)
            for (char& c : strExt) c = char(c - 'A' + 'a');
        WriteFile(ScratchPath("t." + strExt), memo);
    }
    return strTable;
}

uint8_t CInput::Byte() {
    if (!m_nLeft) return 0;
    --m_nLeft;
    return *m_p++;
}

uint16_t CInput::LE16() {
    uint16_t n = Byte();
    return uint16_t(n | (Byte() << 8));
}

uint32_t CInput::LE32() {
    uint32_t n = LE16();
    return n | (uint32_t(LE16()) << 16);
}

Bytes CInput::Take(size_t nCount) {
    nCount = std::min(nCount, m_nLeft);
    Bytes part(m_p, m_p + nCount);
    m_p += nCount;
    m_nLeft -= nCount;
    return part;
}

Bytes CInput::TakeSized() { return Take(LE32()); }

void AppendSized(Bytes& out, const Bytes& part) {
    uint32_t n = uint32_t(part.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(n >> (8 * i)));
    out.insert(out.end(), part.begin(), part.end());
}

}  // namespace fuzz
