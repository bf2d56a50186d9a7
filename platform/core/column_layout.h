// A table window's column layout: one entry per field of the table, in the
// order the columns are shown. Tabulon keeps it in the table's settings file,
// Peekrow in its document; the Columns dialog edits a copy of it. The entries
// name fields by index, so the layout knows nothing of the table itself.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ColumnInfo {
    std::string strHead;  // header text, single-byte as the window shows it
    bool bVisible = true;
    int nField = 0;       // the field shown, 0-based
    int nGridCol = -1;    // the grid column showing it now, -1 for none; never stored
    int nWidth = -1;      // pixels; -1 for the grid's own width
};

using ColumnLayout = std::vector<ColumnInfo>;

// One visible entry per field in field order, headed by the field's name.
inline ColumnLayout MakeDefaultLayout(const std::vector<std::string>& fieldNames) {
    ColumnLayout layout;
    layout.reserve(fieldNames.size());
    for (size_t i = 0; i < fieldNames.size(); ++i)
        layout.push_back(ColumnInfo{fieldNames[i], true, static_cast<int>(i), -1, -1});
    return layout;
}

inline bool HasVisibleColumn(const ColumnLayout& layout) {
    for (const ColumnInfo& info : layout)
        if (info.bVisible)
            return true;
    return false;
}

}  // namespace platform
