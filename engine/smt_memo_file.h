// The .SMT memo layout (version 0xE5): memo lengths live in the record's
// 10-byte reference and free space in a table in the file's header.
#pragma once

#include "engine/memo_file.h"

namespace dbf {

class CSMTMemoFile : public CMemoFile {
public:
    void Open(const std::string& strPath, unsigned nOpenFlags) override;
    int GetMemoType() const override { return memoSmt; }
    void ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes) override;
    void ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText) override;
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) override;
};

}  // namespace dbf
