// The FoxPro and Visual FoxPro .FPT/.DCT layout, with big-endian numbers.
#pragma once

#include "engine/memo_file.h"

namespace dbf {

class CFPTMemoFile : public CMemoFile {
public:
    void Open(const std::string& strPath, unsigned nOpenFlags) override;
    int GetMemoType() const override { return memoFoxPro; }
    void ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes) override;
    void ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText) override;
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) override;
};

}  // namespace dbf
