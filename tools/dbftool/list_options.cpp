// Choosing and ordering the records dbftool lists.
#include "tools/dbftool/list_options.h"

#include <cstdio>

#include "engine/dbf_exception.h"

namespace dbftool {

bool CListOptions::TakeOptions(Args& args) {
    m_bHideDeleted = TakeFlag(args, "hide-deleted");
    m_bFilter = TakeOption(args, "filter", m_strFilter);
    std::string strSort;
    m_bSort = TakeOption(args, "sort", strSort);
    if (!m_bSort) return true;
    m_strSortField = strSort;
    m_bDescending = false;
    const size_t nColon = strSort.rfind(':');
    if (nColon != std::string::npos) {
        const std::string strOrder = strSort.substr(nColon + 1);
        if (strOrder != "desc" && strOrder != "asc") {
            std::fprintf(stderr, "dbftool: --sort takes FIELD, FIELD:asc or FIELD:desc, not '%s'\n", strSort.c_str());
            return false;
        }
        m_bDescending = strOrder == "desc";
        m_strSortField = strSort.substr(0, nColon);
    }
    return true;
}

bool CListOptions::Apply(dbf::CDBFMemoryCursorset& set, const CTableText& text) {
    int nSortField = -1;
    if (m_bSort) {
        nSortField = FindFieldByName(set.GetFieldList(), m_strSortField);
        if (nSortField < 0) {
            std::fprintf(stderr, "dbftool: the table has no field named '%s'\n", m_strSortField.c_str());
            return false;
        }
    }
    set.SetHideDeleted(m_bHideDeleted);
    if (m_bFilter) {
        CTextFilter filter;
        filter.Parse(m_strFilter, set.GetFieldList(), text);
        set.SetFilter(filter.MakePredicate(*set.GetTableDef(), set.GetRecordLength()));
    }
    if (m_bHideDeleted || m_bFilter) set.Requery();
    if (m_bSort) set.Sort(nSortField, m_bDescending);
    return true;
}

void OpenForWriting(dbf::CDBFMemoryCursorset& set, const std::string& strPath, unsigned nFlags) {
    try {
        set.Open(strPath, nFlags);
    } catch (const dbf::CDBFException& e) {
        if (e.GetCode() != dbf::errCantOpenFile) throw;
    }
    if (!set.IsOpen()) set.Open(strPath, kReadOnlyShared);
    if (!set.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
}

bool CheckIndex(const dbf::CDBFTableDef& table, bool bStaleIndexOk) {
    const dbf::StructuralIndex& index = table.GetStructuralIndex();
    if (!index.bPresent || bStaleIndexOk) return true;
    std::fprintf(stderr,
                 "dbftool: the table has the index file '%s', which this program does not update: writing would "
                 "leave it stale until the table's own program rebuilds it; give --stale-index-ok to write anyway\n",
                 index.GetFileName().c_str());
    return false;
}

}  // namespace dbftool
