// The FoxPro and Visual FoxPro .FPT/.DCT layout, with big-endian numbers.
#pragma once

#include "engine/memo_file.h"

namespace dbf {

class CFPTMemoFile : public CMemoFile {
public:
    void Open(const std::string& strPath, unsigned nOpenFlags) override;
    int GetMemoType() const override { return memoFoxPro; }
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) override;
    uint32_t GetNextBlock() const override;

private:
    // The engine reads and writes the first 8 bytes; FoxPro reserves 512.
    static constexpr size_t kHeaderSize = 8;

    void ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) override;
    // The bytes the memo at nBlock may use (its blocks), or 0 when nBlock
    // names no sound memo (such a reference is not rewritten).
    uint64_t Capacity(uint32_t nBlock);
    uint32_t Append(const std::string& strData);

    uint8_t m_header[kHeaderSize] = {};
};

}  // namespace dbf
