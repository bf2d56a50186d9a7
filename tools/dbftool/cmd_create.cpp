// dbftool create TABLE --fields "NAME:C:20,AMOUNT:N:10:2,BORN:D,OK:L" [--vfp]
// creates an empty table through the engine's CreateNew, AppendField and
// WriteStructure: dBASE III by default, Visual FoxPro with --vfp. Each field
// is NAME:TYPE[:WIDTH[:DECIMALS]]; names of up to 10 letters, digits and
// underscores (starting with a letter) are stored in upper case. Types:
// C (width 1-254 required), N and F (width 1-20 required, decimals below
// the width), D, L, M; with --vfp also I, Y, B and T. A table with M fields
// gets an empty memo file: .DBT (version 0x83) or .FPT (memo flag set).
// An existing table or memo file is never overwritten.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/table_def.h"
#include "platform/core/byte_order.h"
#include "platform/core/file.h"
#include "tools/dbftool/commands.h"

namespace dbftool {

namespace {

constexpr unsigned kCreateFlags =
    platform::modeCreate | platform::shareExclusive | platform::modeReadWrite | platform::typeBinary;

std::vector<std::string> Split(const std::string& str, char c) {
    std::vector<std::string> parts;
    size_t nStart = 0;
    for (size_t i = 0; i <= str.size(); ++i) {
        if (i == str.size() || str[i] == c) {
            parts.push_back(str.substr(nStart, i - nStart));
            nStart = i + 1;
        }
    }
    return parts;
}

bool ParseSmall(const std::string& str, int nMax, int& n) {
    if (str.empty() || str.size() > 3 || str.find_first_not_of("0123456789") != std::string::npos) return false;
    n = std::atoi(str.c_str());
    return n <= nMax;
}

// One field of --fields; false with a message when it is not one.
bool ParseField(const std::string& strSpec, bool bVfp, dbf::DBFFieldDesc& desc) {
    auto fail = [&](const char* pszWhy) {
        std::fprintf(stderr, "dbftool: field '%s': %s\n", strSpec.c_str(), pszWhy);
        return false;
    };
    const std::vector<std::string> parts = Split(strSpec, ':');
    if (parts.size() < 2 || parts.size() > 4) return fail("give NAME:TYPE[:WIDTH[:DECIMALS]]");
    std::string strName = parts[0];
    if (strName.empty() || strName.size() > 10) return fail("a name has 1 to 10 characters");
    for (size_t i = 0; i < strName.size(); ++i) {
        char& c = strName[i];
        const bool bLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!bLetter && (i == 0 || !((c >= '0' && c <= '9') || c == '_')))
            return fail("a name is a letter followed by letters, digits and underscores");
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    if (parts[1].size() != 1) return fail("the type is one letter");
    const char cType = char(parts[1][0] >= 'a' && parts[1][0] <= 'z' ? parts[1][0] - 'a' + 'A' : parts[1][0]);
    int nWidth = 0, nDecimals = 0;
    const bool bWidth = parts.size() >= 3, bDecimals = parts.size() == 4;
    if (bWidth && !ParseSmall(parts[2], 254, nWidth)) return fail("the width is a number up to 254");
    if (bDecimals && !ParseSmall(parts[3], 15, nDecimals)) return fail("the decimals are a number up to 15");

    // Types of fixed width take it when none is given, and refuse another.
    int nFixed = 0;
    switch (cType) {
    case 'C':
        if (!bWidth || nWidth < 1) return fail("a C field needs a width of 1 to 254");
        if (bDecimals) return fail("a C field has no decimals");
        break;
    case 'N':
    case 'F':
        if (!bWidth || nWidth < 1 || nWidth > 20) return fail("an N or F field needs a width of 1 to 20");
        if (nDecimals > 0 && nDecimals >= nWidth - 1) return fail("the decimals must leave room for a digit and the point");
        break;
    case 'D': nFixed = 8; break;
    case 'L': nFixed = 1; break;
    case 'M': nFixed = bVfp ? 4 : 10; break;
    case 'I': nFixed = 4; break;
    case 'Y': nFixed = 8; nDecimals = bDecimals ? nDecimals : 4; break;
    case 'B': nFixed = 8; break;
    case 'T': nFixed = 8; break;
    default: return fail("the type is one of C N F D L M (and I Y B T with --vfp)");
    }
    if (!bVfp && (cType == 'I' || cType == 'Y' || cType == 'B' || cType == 'T'))
        return fail("I, Y, B and T fields need --vfp");
    if (nFixed) {
        if (bWidth && nWidth != nFixed) return fail("this type has a fixed width");
        if (bDecimals && cType != 'Y' && cType != 'B') return fail("this type has no decimals");
        nWidth = nFixed;
    }
    desc = dbf::DBFFieldDesc{};
    desc.SetName(strName);
    desc.type = cType;
    desc.width = uint8_t(nWidth);
    desc.decimals = uint8_t(nDecimals);
    return true;
}

// An empty memo file of the layout the version calls for: dBASE III (next
// block 1 after a 512-byte header) or FoxPro (512-byte header, 64-byte
// blocks, next free block 8).
void WriteEmptyMemo(const std::string& strPath, bool bVfp) {
    std::vector<uint8_t> header(512, 0);
    if (bVfp) {
        platform::PutBE32(header.data(), 512 / 64);
        platform::PutBE16(header.data() + 6, 64);
    } else {
        platform::PutLE32(header.data(), 1);
    }
    platform::CFile file;
    int nErrno = 0;
    if (!file.Open(strPath, kCreateFlags, &nErrno)) throw platform::CFileException(nErrno, strPath, "create");
    file.Write(header.data(), header.size());
}

int RunCreate(const Args& args) {
    Args rest = args;
    std::string strFields;
    const bool bVfp = TakeFlag(rest, "vfp");
    const bool bStaleIndexOk = TakeFlag(rest, "stale-index-ok");
    if (!TakeOption(rest, "fields", strFields) || rest.size() != 1 || rest[0].rfind("--", 0) == 0)
        return UsageError(kCreateCommand);
    const std::string& strPath = rest[0];

    std::vector<dbf::DBFFieldDesc> fields;
    std::set<std::string> names;
    bool bMemo = false;
    for (const std::string& strSpec : Split(strFields, ',')) {
        dbf::DBFFieldDesc desc;
        if (!ParseField(strSpec, bVfp, desc)) return 2;
        if (!names.insert(desc.GetName()).second) {
            std::fprintf(stderr, "dbftool: two fields are named %s\n", desc.GetName().c_str());
            return 2;
        }
        bMemo = bMemo || desc.type == 'M';
        fields.push_back(desc);
    }

    dbf::DBFHeader header{};
    header.version = bVfp ? dbf::verVisualFoxPro : bMemo ? dbf::verDBase3Memo : dbf::verDBase3;
    if (bVfp && bMemo) header.tableFlags = dbf::kTableFlagHasMemo;
    const std::string strMemo = bMemo ? dbf::CDBFTableDef::MemoPathFor(strPath, header) : std::string();
    for (const std::string* pPath : {&strPath, &strMemo}) {
        if (!pPath->empty() && platform::CFile::Exists(*pPath)) {
            std::fprintf(stderr, "dbftool: '%s' exists; create makes new files only\n", pPath->c_str());
            return 1;
        }
    }
    // An index file left beside the new table's name belongs to no table
    // this creates (its flag stays clear), but a program that finds it may
    // take it for the table's: the user says whether that is all right.
    dbf::DBFHeader flagged = header;
    flagged.tableFlags |= 0x01;
    const dbf::StructuralIndex index = dbf::CDBFTableDef::FindStructuralIndex(strPath, flagged);
    if (index.bPresent && !bStaleIndexOk) {
        std::fprintf(stderr,
                     "dbftool: the index file '%s' is there beside the new table and would not match it; give "
                     "--stale-index-ok to create the table anyway\n",
                     index.GetFileName().c_str());
        return 1;
    }

    dbf::CDBFTableDef table;
    if (!table.CreateNew(strPath)) dbf::ThrowError(dbf::errCantCreateFile);
    try {
        dbf::DBFHeader newHeader = table.GetHeader();
        newHeader.version = header.version;
        newHeader.tableFlags = header.tableFlags;
        table.SetHeader(newHeader);
        for (const dbf::DBFFieldDesc& desc : fields) table.AppendField(desc);
        table.WriteStructure();
        table.Close();
        if (bMemo) WriteEmptyMemo(strMemo, bVfp);
    } catch (...) {
        // Nothing half made stays behind.
        table.Close();
        for (const std::string* pPath : {&strPath, &strMemo}) {
            try {
                if (!pPath->empty() && platform::CFile::Exists(*pPath)) platform::CFile::Remove(*pPath);
            } catch (const platform::CFileException&) {
            }
        }
        throw;
    }
    return 0;
}

}  // namespace

const Command kCreateCommand = {"create",
                                "create TABLE --fields \"NAME:C:20,AMOUNT:N:10:2,BORN:D,OK:L\" [--vfp] [--stale-index-ok]",
                                RunCreate};

}  // namespace dbftool
