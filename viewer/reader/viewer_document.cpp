// CViewerDocData: opening and closing the document's table and its columns.
#include "viewer/reader/viewer_document.h"

void CViewerDocData::OnNewDocument() {
    m_reader.Close();
    m_columns.clear();
}

bool CViewerDocData::OnOpenDocument(const std::string& strPath) {
    OnNewDocument();
    if (!m_reader.Open(strPath)) return false;
    RebuildColumns();
    return true;
}

void CViewerDocData::OnCloseDocument() {
    m_reader.Close();
    m_columns.clear();
}

void CViewerDocData::RebuildColumns() {
    m_columns.assign(size_t(m_reader.GetFieldCount()), ViewerColumnInfo{});
    for (size_t i = 0; i < m_columns.size(); ++i) m_columns[i].nField = int(i);
}
