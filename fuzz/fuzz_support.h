// What the fuzz targets share: a scratch folder for the files an input
// becomes, and a reader that splits an input into the parts a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<uint8_t>;

// A folder of this process for the files of one input, removed at exit.
const std::string& ScratchDir();
std::string ScratchPath(const std::string& strName);
void WriteFile(const std::string& strPath, const uint8_t* p, size_t n);
inline void WriteFile(const std::string& strPath, const Bytes& bytes) { WriteFile(strPath, bytes.data(), bytes.size()); }
// Removes every file of the scratch folder (left over from the last input).
void ClearScratch();
// Empties the scratch folder and writes an input's table there with its memo
// file, as the engine's targets name them: bits 0-2 of nKind (modulo 5) pick
// no memo file, .FPT, .DBT, a .dbc with its .DCT, or .SMT; bit 3 writes the
// memo file's extension in lower case. Returns the table's path.
std::string WriteScratchTable(uint8_t nKind, const Bytes& table, const Bytes& memo);

// Consumes an input from the front; reads past its end give zeros and empty
// parts, so every input, however short, is a valid one.
class CInput {
public:
    CInput(const uint8_t* pData, size_t nSize) : m_p(pData), m_nLeft(nSize) {}
    uint8_t Byte();
    uint16_t LE16();
    uint32_t LE32();
    // The next part of at most nCount bytes.
    Bytes Take(size_t nCount);
    // A part whose length comes first as a 32-bit number (clamped to what is left).
    Bytes TakeSized();
    Bytes Rest() { return Take(m_nLeft); }
    bool Empty() const { return m_nLeft == 0; }
    size_t Left() const { return m_nLeft; }

private:
    const uint8_t* m_p;
    size_t m_nLeft;
};

// The inverse of TakeSized, for the seed maker.
void AppendSized(Bytes& out, const Bytes& part);

}  // namespace fuzz
