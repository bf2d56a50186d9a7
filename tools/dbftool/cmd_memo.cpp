// dbftool memo: tells what a memo file is (layout, block size, the block the
// header names for the next memo) and, with --block, prints the memo there.
//
// Output, one "key: value" per line:
//   file: PATH
//   kind: dbt3 | dbt4 | fpt | smt
//   memo_type: 1 | 3 | 4 | 16            the engine's memo type code
//   block_size: N
//   next_block: N                        next available (dbt3, fpt), first free run (dbt4), end of file (smt)
// and with --block N:
//   block: N
//   length: N                            as the engine reports it (dbt3 counts the 0x1A end byte)
//   text:
//   the memo's bytes as stored, then a line feed
//
// The kind comes from the extension: .FPT and .DCT are FoxPro, .SMT is SMT,
// and a .DBT is told apart by its header (see DetectDbtKind); --kind forces one.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "platform/core/byte_order.h"
#include "platform/core/file.h"
#include "tools/dbftool/commands.h"

namespace dbftool {

const char kMemoUsage[] =
    "memo FILE [--block N [--length L]] [--kind dbt3|dbt4|fpt|smt]\n"
    "      prints file, kind, memo_type, block_size and next_block, one 'key: value' a line;\n"
    "      with --block also block, length and 'text:' followed by the memo (.smt needs --length)";

namespace {

const Command kMemoCommand = {"memo", kMemoUsage, RunMemo};

constexpr unsigned kReadOnly = 64;

std::string LowerExtension(const std::string& strPath) {
    const size_t nDot = strPath.find_last_of('.');
    const size_t nSlash = strPath.find_last_of('/');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash)) return "";
    std::string strExt = strPath.substr(nDot + 1);
    for (char& c : strExt) c = char(std::tolower(static_cast<unsigned char>(c)));
    return strExt;
}

// dBASE III and dBASE IV share the .DBT extension. A dBASE IV header always
// states its block size at bytes 20-21, where dBASE III leaves zeros, and
// every dBASE IV memo starts with FF FF 08 00. So: a zero block size means
// dBASE III; otherwise dBASE IV when one of the first 64 blocks after the
// header starts with that marker, or when the file holds nothing past the
// header; dBASE III else. A file too short to tell is left to dBASE III,
// whose open reports the short header.
std::string DetectDbtKind(const std::string& strPath) {
    platform::CFile file;
    if (!file.Open(strPath, kReadOnly | platform::typeBinary)) return "dbt3";
    uint8_t header[22];
    if (file.Read(header, sizeof header) != sizeof header) return "dbt3";
    const uint32_t nBlockSize = platform::GetLE16(header + 20);
    if (nBlockSize == 0) return "dbt3";
    const uint64_t nLength = file.GetLength();
    const uint64_t nFirst = (sizeof header + nBlockSize - 1) / nBlockSize;
    if (nFirst * nBlockSize >= nLength) return "dbt4";
    for (uint64_t nBlock = nFirst; nBlock < nFirst + 64 && nBlock * nBlockSize + 4 <= nLength; ++nBlock) {
        uint8_t marker[4];
        file.Seek(int64_t(nBlock * nBlockSize), platform::SeekFrom::begin);
        if (file.Read(marker, sizeof marker) == sizeof marker && platform::GetLE32(marker) == 0x0008FFFF)
            return "dbt4";
    }
    return "dbt3";
}

std::unique_ptr<dbf::CMemoFile> MakeMemo(const std::string& strKind) {
    if (strKind == "dbt3") return std::make_unique<dbf::CMemoFile>();
    if (strKind == "dbt4") return std::make_unique<dbf::CDBTMemoFile>();
    if (strKind == "fpt") return std::make_unique<dbf::CFPTMemoFile>();
    if (strKind == "smt") return std::make_unique<dbf::CSMTMemoFile>();
    return nullptr;
}

bool ParseNumber(const std::string& strText, uint32_t& nValue) {
    if (strText.empty() || strText.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long long n = std::strtoull(strText.c_str(), nullptr, 10);
    if (n > UINT32_MAX) return false;
    nValue = uint32_t(n);
    return true;
}

}  // namespace

int RunMemo(const Args& argsIn) {
    Args args = argsIn;
    std::string strBlock, strLength, strKind;
    const bool bBlock = TakeOption(args, "block", strBlock);
    const bool bLength = TakeOption(args, "length", strLength);
    TakeOption(args, "kind", strKind);
    if (args.size() != 1) return UsageError(kMemoCommand);
    const std::string& strPath = args[0];

    uint32_t nBlock = 0, nLength = 0;
    if ((bBlock && !ParseNumber(strBlock, nBlock)) || (bLength && !ParseNumber(strLength, nLength)))
        return UsageError(kMemoCommand);
    if (strKind.empty()) {
        const std::string strExt = LowerExtension(strPath);
        if (strExt == "dbt") strKind = DetectDbtKind(strPath);
        else if (strExt == "fpt" || strExt == "dct") strKind = "fpt";
        else if (strExt == "smt") strKind = "smt";
        else {
            std::fprintf(stderr, "dbftool memo: cannot tell the memo kind of '%s'; use --kind\n", strPath.c_str());
            return 2;
        }
    }
    std::unique_ptr<dbf::CMemoFile> pMemo = MakeMemo(strKind);
    if (!pMemo) return UsageError(kMemoCommand);
    if (bBlock && strKind == "smt" && !bLength) {
        std::fprintf(stderr, "dbftool memo: an .smt memo's length lives in its record; give --length\n");
        return 2;
    }

    pMemo->Open(strPath, kReadOnly);
    std::printf("file: %s\n", strPath.c_str());
    std::printf("kind: %s\n", strKind.c_str());
    std::printf("memo_type: %d\n", pMemo->GetMemoType());
    std::printf("block_size: %u\n", pMemo->GetBlockSize());
    std::printf("next_block: %u\n", pMemo->GetNextBlock());
    if (!bBlock) return 0;

    std::string strText;
    pMemo->ReadMemoText(nBlock, nLength, strText);
    std::printf("block: %u\n", nBlock);
    std::printf("length: %u\n", nLength);
    std::printf("text:\n");
    std::fwrite(strText.data(), 1, strText.size(), stdout);
    std::printf("\n");
    return 0;
}

}  // namespace dbftool
