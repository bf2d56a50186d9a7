// Helpers shared by the tests: temporary folders, whole-file bytes, and the
// folder of real tables from other programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/file_bytes.h"

namespace testing_support {

// The folder of real tables (../shared/corpus), or "" when it is absent.
std::string CorpusDir();
// Path of a file in the corpus.
std::string CorpusFile(const std::string& strName);

// Skips the current test, with a message, when the corpus is absent.
#define REQUIRE_CORPUS()                                                                  \
    do {                                                                                  \
        if (::testing_support::CorpusDir().empty())                                       \
            GTEST_SKIP() << "../shared/corpus is absent: tests on real tables skipped";   \
    } while (0)

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string Path(const std::string& strName) const { return m_strPath + "/" + strName; }
    // Copies a file into the folder and returns the copy's path.
    std::string CopyIn(const std::string& strSource, const std::string& strName = "") const;

private:
    std::string m_strPath;
};

// Runs a program with the arguments, each quoted for the shell, after the
// environment assignments in strEnv (e.g. "LC_ALL=ru_RU.UTF-8").
struct CommandResult {
    int nExit = -1;
    std::string strOut, strErr;
};
CommandResult RunCommand(const std::string& strProgram, const std::vector<std::string>& args,
                         const std::string& strEnv = "");

}  // namespace testing_support
