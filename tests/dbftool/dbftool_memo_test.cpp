// dbftool memo, run as a program: the kind it reports for each extension and
// .DBT header, the memo it prints, and its errors.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/memo_builder.h"

using memo_testing::CMemoImage;
using testing_support::TempDir;

namespace {

struct Result {
    int nExit;
    std::string strOut;
};

Result RunTool(const std::string& strArgs) {
    const std::string strCommand = std::string("'") + DBFTOOL_PATH + "' " + strArgs + " 2>&1";
    std::FILE* pPipe = popen(strCommand.c_str(), "r");
    if (!pPipe) return {-1, ""};
    std::string strOut;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pPipe)) > 0) strOut.append(buf, n);
    const int nStatus = pclose(pPipe);
    return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, strOut};
}

std::string KindOf(const std::string& strPath) {
    Result r = RunTool("memo '" + strPath + "'");
    EXPECT_EQ(r.nExit, 0) << r.strOut;
    const size_t nAt = r.strOut.find("kind: ");
    if (nAt == std::string::npos) return "";
    return r.strOut.substr(nAt + 6, r.strOut.find('\n', nAt) - nAt - 6);
}

}  // namespace

TEST(DbftoolMemo, KindComesFromTheExtensionAndTheDbtHeader) {
    TempDir dir;
    EXPECT_EQ(KindOf(CMemoImage::DBase3(2).DBase3Memo(1, "x").Save(dir, "a.DBT")), "dbt3") << "zero block size";
    // A dBASE III file with something at bytes 20-21 and no dBASE IV marker.
    EXPECT_EQ(KindOf(CMemoImage::DBase3(2, 512).DBase3Memo(1, "x").Save(dir, "b.dbt")), "dbt3");
    EXPECT_EQ(KindOf(CMemoImage::DBase4(3).DBase4Memo(2, "x").Blocks(3).Save(dir, "c.dbt")), "dbt4")
        << "the marker found past a free first block";
    EXPECT_EQ(KindOf(CMemoImage::DBase4(1).Save(dir, "d.Dbt")), "dbt4") << "nothing past the header";
    EXPECT_EQ(KindOf(CMemoImage::Fpt(8).Save(dir, "e.FPT")), "fpt");
    EXPECT_EQ(KindOf(CMemoImage::Fpt(8).Save(dir, "f.dct")), "fpt");
    EXPECT_EQ(KindOf(CMemoImage::Smt(16, 32).Save(dir, "g.SMT")), "smt");

    Result r = RunTool("memo '" + CMemoImage::Fpt(8).Save(dir, "h.txt") + "'");
    EXPECT_EQ(r.nExit, 2);
    EXPECT_NE(r.strOut.find("--kind"), std::string::npos);
    EXPECT_EQ(KindOf(dir.Path("h.txt") + "' --kind 'fpt"), "fpt");
}

TEST(DbftoolMemo, PrintsTheHeaderAndTheMemoAtABlock) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(3).DBase4Memo(1, "line one\nline two").Blocks(3).Save(dir, "a.dbt");
    Result r = RunTool("memo '" + strPath + "' --block 1");
    EXPECT_EQ(r.nExit, 0);
    EXPECT_EQ(r.strOut, "file: " + strPath +
                            "\nkind: dbt4\nmemo_type: 3\nblock_size: 512\nnext_block: 3\n"
                            "block: 1\nlength: 17\ntext:\nline one\nline two\n");

    std::string strSmt = CMemoImage::Smt(17, 32).AtBlock(16, "smt memo").Save(dir, "a.smt");
    r = RunTool("memo '" + strSmt + "' --block 16 --length 3");
    EXPECT_EQ(r.nExit, 0);
    EXPECT_NE(r.strOut.find("length: 3\ntext:\nsmt\n"), std::string::npos) << r.strOut;
    r = RunTool("memo '" + strSmt + "' --block 16");
    EXPECT_EQ(r.nExit, 2) << ".smt needs the length from the record";
    r = RunTool("memo '" + strSmt + "' --block sixteen --length 3");
    EXPECT_EQ(r.nExit, 2);
    EXPECT_NE(r.strOut.find("usage: dbftool memo"), std::string::npos);
}

TEST(DbftoolMemo, EngineErrorsPrintTheirMessageAndFail) {
    TempDir dir;
    Result r = RunTool("memo '" + dir.Path("missing.fpt") + "'");
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strOut.find("Can't open memo file."), std::string::npos);
    std::string strPath = CMemoImage::Fpt(9).FptMemo(8, "x").Blocks(9).Save(dir, "a.fpt");
    r = RunTool("memo '" + strPath + "' --block 40");
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strOut.find("Invalid ref from memo."), std::string::npos);
    r = RunTool("memo '" + CMemoImage::Fpt(9, 0).Save(dir, "z.fpt") + "'");
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strOut.find("Memo head block size error."), std::string::npos);
}

TEST(DbftoolMemo, TellsTheCorpusDbtFilesApart) {
    REQUIRE_CORPUS();
    EXPECT_EQ(KindOf(testing_support::CorpusFile("dbase_83.dbt")), "dbt3");
    EXPECT_EQ(KindOf(testing_support::CorpusFile("dbase_8b.dbt")), "dbt4");
    Result r = RunTool("memo '" + testing_support::CorpusFile("dbase_83.dbt") + "' --block 1");
    EXPECT_NE(r.strOut.find("text:\nOur Original assortment"), std::string::npos);
}

TEST(DbftoolMemo, ShowsEverySampleTheGeneratorWrites) {
    TempDir dir;
    const std::string strCommand = std::string("'") + MAKE_SAMPLES_PATH + "' '" + dir.Path() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(strCommand.c_str()), 0);
    std::FILE* pList = std::fopen(dir.Path("memo_examples.txt").c_str(), "r");
    ASSERT_NE(pList, nullptr);
    char szFile[256];
    unsigned nBlock = 0, nLength = 0, nFiles = 0;
    while (std::fscanf(pList, "%255s %u %u", szFile, &nBlock, &nLength) == 3) {
        ++nFiles;
        Result r = RunTool("memo '" + dir.Path(szFile) + "' --block " + std::to_string(nBlock) + " --length " +
                           std::to_string(nLength));
        EXPECT_EQ(r.nExit, 0) << r.strOut;
        EXPECT_NE(r.strOut.find("text:\n"), std::string::npos);
        EXPECT_LT(r.strOut.find("text:\n") + 7, r.strOut.size()) << szFile << ": the memo is not empty";
    }
    std::fclose(pList);
    EXPECT_EQ(nFiles, 4u) << "one memo file of each kind";
}
