// A registry of string tables. Tables are few and small, so a linear walk over
// the tables with a linear scan inside each is plenty.
#include "platform/core/string_table.h"

#include <mutex>
#include <vector>

namespace platform {

namespace {
struct Table {
    const StringEntry* pEntries;
    size_t nCount;
};

std::vector<Table>& Tables() {
    static std::vector<Table> tables;
    return tables;
}

std::mutex& TablesMutex() {
    static std::mutex m;
    return m;
}
}  // namespace

void RegisterStrings(const StringEntry* pEntries, size_t nCount) {
    std::lock_guard<std::mutex> lock(TablesMutex());
    for (const Table& t : Tables())
        if (t.pEntries == pEntries) return;
    Tables().push_back({pEntries, nCount});
}

const char* FindString(unsigned nId) {
    std::lock_guard<std::mutex> lock(TablesMutex());
    for (const Table& t : Tables())
        for (size_t i = 0; i < t.nCount; ++i)
            if (t.pEntries[i].nId == nId) return t.pEntries[i].pszText;
    return nullptr;
}

std::string LoadString(unsigned nId) {
    const char* psz = FindString(nId);
    return psz ? std::string(psz) : std::string();
}

}  // namespace platform
