// dbftool memo, run as a program: the kind it reports for each extension and
// .DBT header, the memo it prints, its errors, and the generated samples.
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"

using namespace testing_support;

namespace {

// dbftool memo with the arguments; its errors are part of the output.
CommandResult RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), "memo");
    CommandResult r = RunCommand(DBFTOOL_PATH, args);
    r.strOut += r.strErr;
    return r;
}

std::string KindOf(const std::string& strPath) {
    const std::string strOut = RunTool({strPath}).strOut;
    const size_t nAt = strOut.find("kind: ");
    return nAt == std::string::npos ? strOut : strOut.substr(nAt + 6, strOut.find('\n', nAt) - nAt - 6);
}

}  // namespace

TEST(DbftoolMemo, KindComesFromTheExtensionAndTheDbtHeader) {
    TempDir dir;
    EXPECT_EQ(KindOf(CMemoImage::DBase3(2).DBase3Memo(1, "x").Save(dir, "a.DBT")), "dbt3") << "zero block size";
    EXPECT_EQ(KindOf(CMemoImage::DBase3(2, 512).DBase3Memo(1, "x").Save(dir, "b.dbt")), "dbt3")
        << "a block size but no dBASE IV marker";
    EXPECT_EQ(KindOf(CMemoImage::DBase4(3).DBase4Memo(2, "x").Blocks(3).Save(dir, "c.dbt")), "dbt4")
        << "the marker found past a free first block";
    EXPECT_EQ(KindOf(CMemoImage::DBase4(1).Save(dir, "d.Dbt")), "dbt4") << "nothing past the header";
    EXPECT_EQ(KindOf(CMemoImage::Fpt(8).Save(dir, "e.FPT")), "fpt");
    EXPECT_EQ(KindOf(CMemoImage::Fpt(8).Save(dir, "f.dct")), "fpt");
    EXPECT_EQ(KindOf(CMemoImage::Smt(16, 32).Save(dir, "g.SMT")), "smt");
    EXPECT_EQ(RunTool({CMemoImage::Fpt(8).Save(dir, "h.txt")}).nExit, 2) << "no memo extension";
    EXPECT_NE(RunTool({dir.Path("h.txt"), "--kind", "fpt"}).strOut.find("kind: fpt\n"), std::string::npos);
    if (!CorpusDir().empty()) {
        EXPECT_EQ(KindOf(CorpusFile("dbase_83.dbt")), "dbt3");
        EXPECT_EQ(KindOf(CorpusFile("dbase_8b.dbt")), "dbt4");
    }
}

TEST(DbftoolMemo, PrintsTheMemoAtABlockOrTheEnginesError) {
    TempDir dir;
    std::string strPath = CMemoImage::DBase4(3).DBase4Memo(1, "line one\nline two").Blocks(3).Save(dir, "a.dbt");
    CommandResult r = RunTool({strPath, "--block", "1"});
    EXPECT_EQ(r.nExit, 0);
    EXPECT_EQ(r.strOut, "file: " + strPath +
                            "\nkind: dbt4\nmemo_type: 3\nblock_size: 512\nnext_block: 3\n"
                            "block: 1\nlength: 17\ntext:\nline one\nline two\n");
    r = RunTool({strPath, "--block", "2"});
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strOut.find("Invalid ref from memo."), std::string::npos);
    EXPECT_EQ(RunTool({dir.Path("missing.fpt")}).strOut, "Can't open memo file.\n");

    std::string strSmt = CMemoImage::Smt(17, 32).AtBlock(16, "smt memo").Save(dir, "a.smt");
    EXPECT_NE(RunTool({strSmt, "--block", "16", "--length", "3"}).strOut.find("length: 3\ntext:\nsmt\n"),
              std::string::npos);
    EXPECT_EQ(RunTool({strSmt, "--block", "16"}).nExit, 2) << ".smt needs the length from the record";
    EXPECT_EQ(RunTool({strSmt, "--block", "sixteen", "--length", "3"}).nExit, 2);
}

TEST(DbftoolMemo, ShowsEverySampleTheGeneratorWrites) {
    TempDir dir;
    ASSERT_EQ(std::system(("'" MAKE_SAMPLES_PATH "' '" + dir.Path() + "' >/dev/null").c_str()), 0);
    std::ifstream examples(dir.Path("memo_examples.txt"));
    std::string strFile;
    unsigned nBlock = 0, nLength = 0, nFiles = 0;
    while (examples >> strFile >> nBlock >> nLength) {
        ++nFiles;
        CommandResult r =
            RunTool({dir.Path(strFile), "--block", std::to_string(nBlock), "--length", std::to_string(nLength)});
        EXPECT_EQ(r.nExit, 0) << r.strOut;
        EXPECT_LT(r.strOut.find("text:\n") + 7, r.strOut.size()) << strFile << ": a memo is shown";
    }
    EXPECT_EQ(nFiles, 4u) << "one memo file of each kind";
}
