// The names of a table's companion files (memo, index, settings, .cpg):
// extensions within the file name only, and files found by a name that
// differs only in letter case, as tables copied from DOS and Windows come
// ("X.FPT", "stock.CDX" beside "stock.dbf"). One rule for the engine,
// Peekrow's reader and Tabulon's settings files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The position of the extension's '.' within the file name (never in a
// folder's name), or npos.
size_t ExtensionDot(std::string_view strPath);
// The path with its extension replaced by strExtension (".FPT"), or with
// strExtension appended when the file name has none.
std::string ReplaceExtension(const std::string& strPath, std::string_view strExtension);
// Whether the file name's extension is strExtension (".DBC") in any letter case.
bool HasExtensionIgnoringCase(std::string_view strPath, std::string_view strExtension);

// The file itself when it exists; otherwise a regular file in the same folder
// whose name differs only in ASCII letter case: the one with the same base
// name and a lower-case extension first, then the first in byte order, so the
// choice never depends on the order a folder lists its files in. "" when
// there is none.
std::string FindFileIgnoringCase(const std::string& strExact);

// A table's structural index: the compound index (".CDX") of FoxPro and
// Visual FoxPro tables or the production index (".MDX") of dBASE IV, marked
// by bit 0x01 of header byte 28 and kept up to date by the programs that
// made the table on every write. Neither of our programs updates one.
struct StructuralIndex {
    bool bFlagged = false;  // header byte 28 has bit 0x01
    std::string strPath;    // where the index is or would be (empty when not flagged)
    bool bPresent = false;  // the file is there
    // The file name alone ("calls.CDX"), for messages.
    std::string GetFileName() const { return strPath.substr(strPath.rfind('/') + 1); }
};
// The index a table of this version and these table flags has beside it.
StructuralIndex FindStructuralIndex(const std::string& strTablePath, uint8_t nVersion, uint8_t nTableFlags);

}  // namespace platform
