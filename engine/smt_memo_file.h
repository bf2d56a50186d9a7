// The .SMT memo layout (version 0xE5): memo lengths live in the record's
// 10-byte reference and free space in a table in the file's header.
#pragma once

#include "engine/memo_file.h"

namespace dbf {

class CSMTMemoFile : public CMemoFile {
public:
    void Open(const std::string& strPath, unsigned nOpenFlags) override;
    int GetMemoType() const override { return memoSmt; }
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) override;
    uint32_t GetNextBlock() const override;

protected:
    void FreeReplaced(uint32_t nBlock, uint32_t nLength) override;

public:
    // The free table holds at most this many runs.
    static constexpr unsigned kMaxFreeEntries = 81;

private:
    static constexpr size_t kHeaderSize = 510;

    struct FreeEntry {
        uint32_t nCount;
        uint32_t nFirst;
    };
    void ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) override;
    // Whether (nBlock, nLength) names bytes that lie in the file after the
    // header; a reference that does not is neither rewritten nor freed.
    bool IsSoundReference(uint32_t nBlock, uint32_t nLength);

    void ReadHeader();
    void WriteHeader();
    unsigned GetEntryCount() const;
    void SetEntryCount(unsigned nCount);
    FreeEntry GetEntry(unsigned nIndex) const;
    void SetEntry(unsigned nIndex, const FreeEntry& entry);
    void InsertEntry(unsigned nIndex, const FreeEntry& entry);
    void RemoveEntry(unsigned nIndex);

    void Free(uint32_t nBlock, uint64_t nBlocks);
    bool TakeFreeBlocks(uint64_t nNeed, const std::string& strText, uint32_t& nBlock);
    uint32_t Append(const std::string& strText);

    uint8_t m_header[kHeaderSize] = {};
};

}  // namespace dbf
