// The recent-file list and its menu texts.
#include "platform/ui/recent_files.h"

#include <algorithm>

#include <QDir>
#include <QFile>

#include "platform/ui/profile_store.h"

namespace platform {

namespace {

constexpr int kMaxMenuPath = 60;

}  // namespace

CRecentFileList::CRecentFileList(int nSize, std::string strSection, std::string strKeyPrefix)
    : m_nSize(std::max(1, nSize)), m_strSection(std::move(strSection)), m_strKeyPrefix(std::move(strKeyPrefix)) {}

void CRecentFileList::Add(const std::string& strPath) {
    if (strPath.empty())
        return;
    auto it = std::find(m_paths.begin(), m_paths.end(), strPath);
    if (it != m_paths.end())
        m_paths.erase(it);
    m_paths.insert(m_paths.begin(), strPath);
    if (int(m_paths.size()) > m_nSize)
        m_paths.resize(size_t(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex >= 0 && nIndex < GetSize())
        m_paths.erase(m_paths.begin() + nIndex);
}

QString CRecentFileList::GetMenuText(int nIndex) const {
    QString strPath = QFile::decodeName(QByteArray::fromStdString(GetPath(nIndex)));
    QString strHome = QDir::homePath();
    if (!strHome.isEmpty() && strPath.startsWith(strHome + QLatin1Char('/')))
        strPath = QLatin1Char('~') + strPath.mid(strHome.size());
    if (strPath.size() > kMaxMenuPath) {
        // Keep the file name whole and as much of the folder's start as fits.
        int nSlash = int(strPath.lastIndexOf(QLatin1Char('/')));
        QString strName = strPath.mid(nSlash);
        int nKeep = std::max(8, kMaxMenuPath - int(strName.size()) - 3);
        strPath = strPath.left(nKeep) + QStringLiteral("...") + strName;
    }
    strPath.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QString strNumber = nIndex < 9 ? QStringLiteral("&%1 ").arg(nIndex + 1) : QStringLiteral("1&0 ");
    return strNumber + strPath;
}

void CRecentFileList::ReadList(CProfileStore& store) {
    m_paths.clear();
    for (int i = 1; i <= m_nSize; ++i) {
        std::string strPath = store.GetString(m_strSection, m_strKeyPrefix + std::to_string(i), std::string());
        if (!strPath.empty() && std::find(m_paths.begin(), m_paths.end(), strPath) == m_paths.end())
            m_paths.push_back(strPath);
    }
}

bool CRecentFileList::WriteList(CProfileStore& store) const {
    CProfileStore::KeyValues values;
    for (int i = 0; i < m_nSize; ++i) {
        std::string strValue = i < GetSize() ? m_paths[size_t(i)] : std::string();
        std::string strKey = m_strKeyPrefix + std::to_string(i + 1);
        // Keys are written only when they change (keys past the list are
        // cleared only when they hold something).
        if (store.GetString(m_strSection, strKey, std::string()) != strValue)
            values.emplace_back(std::move(strKey), std::move(strValue));
    }
    return values.empty() || store.WriteStrings(m_strSection, values);
}

}  // namespace platform
