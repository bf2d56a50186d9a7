// The data of Peekrow's document without its windows: the reader of the open
// table and the column list that every pane of the table's window shows. The
// framework's document wraps one of these and adds the views.
#pragma once

#include <string>
#include <vector>

#include "viewer/reader/dbf_file_reader.h"

// One column of the viewer's layout, in display order. It is the editor's
// column entry without the header text: the viewer's headers are always the
// field names.
struct ViewerColumnInfo {
    int bVisible = 1;
    int nField = 0;     // 0-based field index
    int nGridCol = -1;  // grid column now showing it, -1 if none
    int nWidth = -1;    // pixels, -1 for the width of the field's type
};

class CViewerDocData {
public:
    CDBFFileReader& GetReader() { return m_reader; }
    const CDBFFileReader& GetReader() const { return m_reader; }
    std::vector<ViewerColumnInfo>& GetColumns() { return m_columns; }
    const std::vector<ViewerColumnInfo>& GetColumns() const { return m_columns; }

    // A new, empty document: nothing open.
    void OnNewDocument();
    // Opens the table; on success the column list is rebuilt (one visible
    // entry per field, in field order). False when the reader cannot open it.
    bool OnOpenDocument(const std::string& strPath);
    // Closes the table and forgets the layout.
    void OnCloseDocument();

private:
    void RebuildColumns();

    CDBFFileReader m_reader;
    std::vector<ViewerColumnInfo> m_columns;
};
