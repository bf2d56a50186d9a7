#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

std::string CorpusDir() {
    const char* pszEnv = std::getenv("TABULON_CORPUS_DIR");
    std::string strDir = pszEnv && *pszEnv ? pszEnv : TABULON_DEFAULT_CORPUS_DIR;
    std::error_code ec;
    return fs::is_directory(strDir, ec) ? strDir : std::string();
}

std::string CorpusFile(const std::string& strName) { return CorpusDir() + "/" + strName; }

TempDir::TempDir() {
    std::string strTemplate = (fs::temp_directory_path() / "tabulon-test-XXXXXX").string();
    if (!mkdtemp(strTemplate.data())) throw std::runtime_error("mkdtemp failed");
    m_strPath = strTemplate;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_strPath, ec);
}

std::string TempDir::CopyIn(const std::string& strSource, const std::string& strName) const {
    std::string strTarget = Path(strName.empty() ? fs::path(strSource).filename().string() : strName);
    fs::copy_file(strSource, strTarget, fs::copy_options::overwrite_existing);
    fs::permissions(strTarget, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    return strTarget;
}

CommandResult RunCommand(const std::string& strProgram, const std::vector<std::string>& args,
                         const std::string& strEnv) {
    const auto quote = [](const std::string& str) {
        std::string strQuoted = "'";
        for (char c : str) strQuoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return strQuoted + "'";
    };
    TempDir dir;
    std::string strCommand = strEnv + " " + quote(strProgram);
    for (const std::string& arg : args) strCommand += " " + quote(arg);
    const int nStatus = std::system((strCommand + " >" + quote(dir.Path("out")) + " 2>" + quote(dir.Path("err"))).c_str());
    return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadTextFile(dir.Path("out")), ReadTextFile(dir.Path("err"))};
}

}  // namespace testing_support
