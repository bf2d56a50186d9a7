// Fuzz target: the engine's memo files, every layout. Input: a byte choosing
// the layout (dBASE III, dBASE IV, .SMT, .FPT), the memo file's bytes with
// their 32-bit length first, then operations until the input ends: read a
// block as text or bytes, write a text in place of a block, reopen the file,
// ask for the next block. Engine errors are expected; anything else (a
// crash, a sanitizer report, another exception) is a fault. A memo that was
// written must read back as it was written.
#include <cstdlib>
#include <memory>

#include "engine/dbf_exception.h"
#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr unsigned kReadWriteShared = 66;

std::unique_ptr<dbf::CMemoFile> MakeMemo(uint8_t nKind) {
    switch (nKind & 3) {
    case 0: return std::make_unique<dbf::CMemoFile>();
    case 1: return std::make_unique<dbf::CDBTMemoFile>();
    case 2: return std::make_unique<dbf::CSMTMemoFile>();
    default: return std::make_unique<dbf::CFPTMemoFile>();
    }
}

// dBASE III text ends at its first 0x1A, so only texts without one can be
// expected back whole from that layout.
bool ComesBackWhole(uint8_t nKind, const std::string& strText) {
    return (nKind & 3) != 0 || strText.find('\x1A') == std::string::npos;
}

void CheckReadBack(dbf::CMemoFile& memo, uint8_t nKind, uint32_t nBlock, uint32_t nLength, const std::string& strText) {
    if (nBlock == 0 || strText.empty() || !ComesBackWhole(nKind, strText)) return;
    uint32_t nReadLength = nLength;
    std::string strRead;
    try {
        memo.ReadMemoText(nBlock, nReadLength, strRead);
    } catch (const dbf::CDBFException&) {
        std::abort();  // the memo just written cannot be read
    }
    if (strRead != strText) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    fuzz::CInput input(pData, nSize);
    uint8_t nKind = input.Byte();
    fuzz::Bytes file = input.TakeSized();
    fuzz::ClearScratch();
    std::string strPath = fuzz::ScratchPath("m.memo");
    fuzz::WriteFile(strPath, file);

    std::unique_ptr<dbf::CMemoFile> memo = MakeMemo(nKind);
    try {
        memo->Open(strPath, kReadWriteShared);
    } catch (const dbf::CDBFException&) {
        return 0;
    }
    uint32_t nLastBlock = 0, nLastLength = 0;
    for (int nOp = 0; nOp < 64 && !input.Empty(); ++nOp) {
        uint8_t nCode = input.Byte();
        try {
            switch (nCode % 5) {
            case 0: {
                uint32_t nBlock = input.LE32(), nLength = input.LE32() & 0xFFFFF;
                std::string strText;
                memo->ReadMemoText(nBlock, nLength, strText);
                break;
            }
            case 1: {
                uint32_t nBlock = input.LE32(), nLength = input.LE32() & 0xFFFFF;
                std::vector<uint8_t> bytes;
                memo->ReadMemoBinary(nBlock, nLength, bytes);
                break;
            }
            case 2: {
                // Replace either the memo written last or any block at all.
                bool bLast = input.Byte() & 1;
                uint32_t nBlock = bLast ? nLastBlock : input.LE32();
                uint32_t nLength = bLast ? nLastLength : input.LE32() & 0xFFFFF;
                fuzz::Bytes text = input.Take(input.LE16() % 4096);
                std::string strText(text.begin(), text.end());
                memo->WriteMemo(nBlock, nLength, strText);
                nLastBlock = nBlock, nLastLength = nLength;
                CheckReadBack(*memo, nKind, nBlock, nLength, strText);
                break;
            }
            case 3:
                memo->Close();
                memo->Open(strPath, kReadWriteShared);
                break;
            default:
                (void)memo->GetNextBlock();
                break;
            }
        } catch (const dbf::CDBFException&) {
            if (!memo->IsOpen()) return 0;
        }
    }
    return 0;
}
