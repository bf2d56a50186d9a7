// Companion files of a table, found in any letter case.
#include "platform/core/file_names.h"

#include <filesystem>
#include <vector>

#include "platform/core/file.h"
#include "platform/core/value_coercion.h"

namespace fs = std::filesystem;

namespace platform {

size_t ExtensionDot(std::string_view strPath) {
    size_t nSlash = strPath.rfind('/');
    size_t nDot = strPath.rfind('.');
    if (nDot == std::string_view::npos || (nSlash != std::string_view::npos && nDot < nSlash))
        return std::string_view::npos;
    return nDot;
}

std::string ReplaceExtension(const std::string& strPath, std::string_view strExtension) {
    size_t nDot = ExtensionDot(strPath);
    return (nDot == std::string::npos ? strPath : strPath.substr(0, nDot)) + std::string(strExtension);
}

bool HasExtensionIgnoringCase(std::string_view strPath, std::string_view strExtension) {
    size_t nDot = ExtensionDot(strPath);
    return nDot != std::string_view::npos && EqualsNoCase(strPath.substr(nDot), strExtension);
}

std::string FindFileIgnoringCase(const std::string& strExact) {
    if (CFile::Exists(strExact))
        return strExact;
    fs::path path(strExact);
    std::string strName = path.filename().string();
    fs::path folder = path.parent_path();
    std::string strLowerExt = strName;
    for (size_t i = std::min(ExtensionDot(strName), strName.size()); i < strLowerExt.size(); ++i)
        if (strLowerExt[i] >= 'A' && strLowerExt[i] <= 'Z')
            strLowerExt[i] = char(strLowerExt[i] - 'A' + 'a');
    std::string strBest;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string strCandidate = it->path().filename().string();
        std::error_code ecType;
        if (!EqualsNoCase(strCandidate, strName) || !it->is_regular_file(ecType))
            continue;
        if (strCandidate == strLowerExt) {
            strBest = strCandidate;
            break;
        }
        if (strBest.empty() || strCandidate < strBest)
            strBest = strCandidate;
    }
    if (strBest.empty())
        return std::string();
    return (folder / strBest).string();
}

StructuralIndex FindStructuralIndex(const std::string& strTablePath, uint8_t nVersion, uint8_t nTableFlags) {
    StructuralIndex index;
    if (!(nTableFlags & 0x01))
        return index;
    index.bFlagged = true;
    std::vector<const char*> extensions;
    switch (nVersion) {
    case 0x30: case 0x31: case 0x32: case 0xF5: case 0xFB:  // FoxPro and Visual FoxPro
        extensions = {".CDX"};
        break;
    case 0x04: case 0x7B: case 0x8B: case 0xCB: case 0x43: case 0x63:  // dBASE IV and later
        extensions = {".MDX"};
        break;
    default:
        extensions = {".CDX", ".MDX"};
        break;
    }
    for (const char* pszExtension : extensions) {
        std::string strPath = FindFileIgnoringCase(ReplaceExtension(strTablePath, pszExtension));
        if (!strPath.empty()) {
            index.strPath = strPath;
            index.bPresent = true;
            return index;
        }
    }
    index.strPath = ReplaceExtension(strTablePath, extensions.back());
    return index;
}

}  // namespace platform
