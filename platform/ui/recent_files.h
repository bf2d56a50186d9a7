// The recent-file list: the last files opened, newest first, shown at the end
// of the File menu as "&1 name" and kept in a profile store under keys
// File1..FileN of one section.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace platform {

class CProfileStore;

class CRecentFileList {
public:
    explicit CRecentFileList(int nSize = 8, std::string strSection = "Recent File List",
                             std::string strKeyPrefix = "File");

    // Puts a path first (moving it up when it is listed already).
    void Add(const std::string& strPath);
    void Remove(int nIndex);
    int GetSize() const { return int(m_paths.size()); }
    const std::string& GetPath(int nIndex) const { return m_paths[size_t(nIndex)]; }
    // The menu text of entry nIndex: "&1 " and the path, the home folder as
    // "~" and a long middle left out.
    QString GetMenuText(int nIndex) const;

    void ReadList(CProfileStore& store);
    // False when the store refused a value.
    bool WriteList(CProfileStore& store) const;

private:
    int m_nSize;
    std::string m_strSection;
    std::string m_strKeyPrefix;
    std::vector<std::string> m_paths;
};

}  // namespace platform
