// The dBASE IV .DBT layout, with a chain of free block runs.
#pragma once

#include <optional>

#include "engine/memo_file.h"

namespace dbf {

class CDBTMemoFile : public CMemoFile {
public:
    void Open(const std::string& strPath, unsigned nOpenFlags) override;
    int GetMemoType() const override { return memoDBase4; }
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) override;
    uint32_t GetNextBlock() const override;

protected:
    void FreeReplaced(uint32_t nBlock, uint32_t nLength) override;

private:
    static constexpr size_t kHeaderSize = 22;

    // One free run as its first block records it.
    struct Run {
        uint32_t nBlock;
        uint32_t nNext;
        uint32_t nCount;
    };
    // Walks the free chain from the header's first free block (the header is
    // re-read first): calls fnVisit(run, pPrev) for each sound run (pPrev null
    // for the first) until it returns true. The walk stops at the chain's end,
    // at a link that leaves the file or lands on a memo, and after as many
    // steps as the file has blocks, so a looping chain ends too. Returns
    // whether fnVisit finished the walk; last receives the last run visited.
    template <class F>
    bool WalkChain(F fnVisit, std::optional<Run>& last);
    bool ReadRun(uint32_t nBlock, uint64_t nEnd, Run& run);
    void ReadMemoBytes(uint32_t nBlock, uint32_t& nLength, std::string& strText) override;
    // The blocks the memo at nBlock occupies, or 0 when nBlock names no sound
    // memo (such a reference is neither rewritten nor freed).
    uint64_t OccupiedBlocks(uint32_t nBlock);

    void ReadHeader();
    void WriteHeader();
    void LinkTo(const Run* pPrev, uint32_t nTarget);
    void WriteMemoAt(uint32_t nBlock, const std::string& strText);
    void FreeRun(uint32_t nBlock, uint64_t nBlocks);
    bool TakeFreeRun(uint64_t nNeed, const std::string& strText, uint32_t& nBlock);
    uint32_t Append(uint64_t nNeed, const std::string& strText);

    uint8_t m_header[kHeaderSize] = {};
};

}  // namespace dbf
