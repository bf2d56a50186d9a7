// Find and Replace, driven through the commands and the dialogs' controls:
// what is found where, the not-found message, letter case by code page,
// the histories, what Replace stores and refuses, and when the dialogs close.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/find_dlg.h"
#include "editor/settings/table_settings.h"
#include "platform/core/code_page.h"
#include "platform/ui/command_ids.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/table_builder.h"

// How a test failure names a cell.
void PrintTo(const FindCell& cell, std::ostream* pOut) { *pOut << "(" << cell.nCol << ", " << cell.nRow << ")"; }

namespace {

using editor_test::TabulonTest;
using platform::CScopedMessageBoxHook;
using testing_support::TableBuilder;

constexpr uint8_t kWindowsTable = 0x30;  // Visual FoxPro

class FindReplaceTest : public TabulonTest {
protected:
    // NAME C 10, CITY C 10, QTY N 5, BORN D, OK L: three records, dBASE III (DOS text).
    std::string FruitTable() {
        return TableBuilder()
            .Field("NAME", 'C', 10)
            .Field("CITY", 'C', 10)
            .Field("QTY", 'N', 5)
            .Field("BORN", 'D', 8)
            .Field("OK", 'L', 1)
            .Record({"xAbx", "cab", "3", "20020315", "F"})
            .Record({"BANANA", "Oslo", "12", "19990101", "T"})
            .Record({"none", "abba", "7", "20020316", "F"})
            .Write(m_dir.Path("fruit.dbf"));
    }

    CFindDlg* OpenFind() {
        EXPECT_TRUE(Command(platform::ID_EDIT_FIND));
        return qobject_cast<CFindDlg*>(View()->m_pFindDlg.data());
    }
    CReplaceDlg* OpenReplace() {
        EXPECT_TRUE(Command(platform::ID_EDIT_REPLACE));
        return qobject_cast<CReplaceDlg*>(View()->m_pReplaceDlg.data());
    }
    static void SetText(platform::CDialog& dlg, int nId, const QString& strText) {
        QComboBox* pCombo = dlg.GetDlgItem<QComboBox>(nId);
        ASSERT_NE(pCombo, nullptr);
        pCombo->lineEdit()->setText(strText);
        emit pCombo->lineEdit()->textEdited(strText);
    }
    // Chooses the field list's item that starts with strPrefix ("*" for all).
    static void ChooseField(platform::CDialog& dlg, const QString& strPrefix) {
        QComboBox* pField = dlg.GetDlgItem<QComboBox>(IDC_FIND_FIELD);
        for (int i = 0; i < pField->count(); ++i)
            if (pField->itemText(i).startsWith(strPrefix)) {
                pField->setCurrentIndex(i);
                emit pField->activated(i);
                return;
            }
        ADD_FAILURE() << "no field item " << strPrefix.toStdString();
    }
    static bool Click(platform::CDialog& dlg, int nId) {
        QPushButton* pButton = dlg.GetDlgItem<QPushButton>(nId);
        if (!pButton || !pButton->isEnabled())
            return false;
        pButton->click();
        ui_test::Settle();
        return true;
    }
    // The current cell, data column and row.
    FindCell Current() const {
        return {View()->GetCurrentColumn() - View()->GetFixedColumnCount(),
                int32_t(View()->GetCurrentRow() - View()->GetFixedRowCount())};
    }
};

// ---- finding ------------------------------------------------------------------------------------

TEST_F(FindReplaceTest, FindStepsThroughAllColumnsOrOneAndStartsAgainAfterTheNotFoundMessage) {
    ASSERT_NE(Open(FruitTable()), nullptr);
    struct Case {
        const char* pszField;
        std::vector<FindCell> matches;
    } cases[] = {
        // "*": the rest of a row rightwards, then the next rows.
        {"*", {{0, 0}, {1, 0}, {1, 2}}},
        {"CITY", {{1, 0}, {1, 2}}},
        {"NAME", {{0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszField);
        CFindDlg* pDlg = OpenFind();
        ASSERT_NE(pDlg, nullptr);
        SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("ab"));
        ChooseField(*pDlg, QString::fromLatin1(c.pszField));
        for (int nRound = 0; nRound < 2; ++nRound) {
            for (const FindCell& cell : c.matches) {
                CScopedMessageBoxHook boxes;
                ASSERT_TRUE(Click(*pDlg, platform::IDOK));
                EXPECT_TRUE(boxes.GetRequests().empty());
                EXPECT_EQ(Current(), cell) << cell.nCol << "," << cell.nRow;
            }
            CScopedMessageBoxHook boxes;
            Click(*pDlg, platform::IDOK);
            ASSERT_EQ(boxes.GetRequests().size(), 1u);
            const platform::MessageBoxRequest& box = boxes.GetRequests()[0];
            EXPECT_EQ(box.strText, QString::fromUtf8("Не найдено."));
            EXPECT_EQ(box.strCaption, QString::fromUtf8("Поиск"));
            EXPECT_EQ(box.nType, platform::MB_OK | platform::MB_ICONWARNING);
            EXPECT_EQ(box.pParent, pDlg);
            EXPECT_EQ(pDlg->GetStartPosition(), FindCell{});
        }
    }
}

TEST_F(FindReplaceTest, FindMatchesTheTextsTheGridShows) {
    CDBFDoc* pDoc = Open(FruitTable());
    ASSERT_NE(pDoc, nullptr);
    const struct {
        const char* pszText;
        const char* pszField;
        const char* pszDatePattern;
        FindCell cell;
    } cases[] = {
        {"03-15", "BORN", "%Y-%m-%d", {3, 0}},  // the date pattern's text, not the stored 20020315
        {"0315", "*", "%Y-%m-%d", {-1, -1}},
        {"mar", "*", "%d %b %Y", {3, 0}},       // a pattern with month names
        {"  bAnAnA ", "*", "%Y-%m-%d", {0, 1}},  // trimmed, any letter case
        {"12", "QTY", "%Y-%m-%d", {2, 1}},
        {"rue", "*", "%Y-%m-%d", {4, 1}},       // a logical shows TRUE or FALSE
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        pDoc->m_strDateFormat = c.pszDatePattern;
        CFindDlg* pDlg = OpenFind();
        ASSERT_NE(pDlg, nullptr);
        SetText(*pDlg, IDC_FIND_WHAT, QString::fromLatin1(c.pszText));
        ChooseField(*pDlg, QString::fromLatin1(c.pszField));
        CScopedMessageBoxHook boxes;
        bool bFound = pDlg->FindNext();
        EXPECT_EQ(bFound, c.cell.nRow >= 0);
        if (bFound) {
            EXPECT_EQ(Current(), c.cell);
        }
    }
}

// Letters beyond ASCII match whatever their case, by the page the text is
// shown in: a Windows table as stored, a DOS table through the OEM-to-ANSI
// translation.
TEST_F(FindReplaceTest, LettersOfEachCodePageMatchWhateverTheirCase) {
    const struct {
        const char* pszOem;
        const char* pszAnsi;
        bool bDos;
        uint8_t nMark;          // the table's code-page mark
        const char* pszStored;  // UTF-8, stored in the table's page
        const char* pszSearch;  // UTF-8, typed
    } cases[] = {
        {"CP866", "CP1251", false, 0xC9, "ПРИВЕТ мир", "привет МИР"},
        {"CP866", "CP1251", true, 0x65, "Ёлка", "ёЛКА"},
        {"CP737", "CP1253", true, 0x6A, "ΑΘΗΝΑ", "αθηνα"},
        {"CP852", "CP1250", false, 0xC8, "žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ"},
        {"CP852", "CP1250", true, 0x64, "Łódź", "łÓDŹ"},
    };
    int nTable = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszStored);
        platform::CScopedCodePages pages(c.pszOem, c.pszAnsi);
        ASSERT_TRUE(pages.IsValid());
        const platform::CCodePage& page = c.bDos ? platform::OemCodePage() : platform::AnsiCodePage();
        std::string strPath = TableBuilder(c.bDos ? 0x03 : kWindowsTable)
                                  .CodePageMark(c.nMark)
                                  .Field("NAME", 'C', 20)
                                  .Record({"other"})
                                  .Record({page.FromUtf8(c.pszStored)})
                                  .Write(m_dir.Path("t" + std::to_string(nTable++) + ".dbf"));
        CDBFDoc* pDoc = Open(strPath);
        ASSERT_NE(pDoc, nullptr);
        ASSERT_EQ(pDoc->m_bDosCodePage, c.bDos);
        CFindDlg* pDlg = OpenFind();
        ASSERT_NE(pDlg, nullptr);
        SetText(*pDlg, IDC_FIND_WHAT, QString::fromUtf8(c.pszSearch));
        CScopedMessageBoxHook boxes;
        EXPECT_TRUE(pDlg->FindNext());
        EXPECT_EQ(Current(), (FindCell{0, 1}));
        pDoc->OnCloseDocument();
        ui_test::Settle();
    }
}

// Whole text (here UTF-8, named by a .cpg file) is compared as characters,
// not byte by byte.
TEST_F(FindReplaceTest, LettersOfWholeTextMatchWhateverTheirCase) {
    std::string strPath = TableBuilder()
                              .Field("NAME", 'C', 30)
                              .Record({"other"})
                              .Record({"Привет, Ёжик"})
                              .Write(m_dir.Path("utf8.dbf"));
    testing_support::WriteFileBytes(m_dir.Path("utf8.cpg"), std::string("UTF-8"));
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pDoc->IsWholeText());
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    SetText(*pDlg, IDC_FIND_WHAT, QString::fromUtf8(" пРИВЕТ, ёЖИК "));
    SetText(*pDlg, IDC_REPLACE_WITH, QString::fromUtf8("Пока"));
    CScopedMessageBoxHook boxes;
    ASSERT_TRUE(pDlg->FindNext());
    EXPECT_EQ(Current(), (FindCell{0, 1}));
    EXPECT_EQ(pDoc->m_findHistory, std::vector<std::string>{"ПРИВЕТ, ЁЖИК"});
    EXPECT_TRUE(pDlg->Replace());
    EXPECT_EQ(Cell(0, 1), "Пока");
}

TEST_F(FindReplaceTest, HistoriesGetTypedTextsAfterAMatchOnce) {
    CDBFDoc* pDoc = Open(FruitTable());
    ASSERT_NE(pDoc, nullptr);
    CFindDlg* pFind = OpenFind();
    ASSERT_NE(pFind, nullptr);
    CScopedMessageBoxHook boxes;
    for (const char* psz : {"ab", "zzz", "ban", "ab"}) {
        SetText(*pFind, IDC_FIND_WHAT, QString::fromLatin1(psz));
        pFind->FindNext();
    }
    // Find: upper-cased, newest first; nothing for a text that was not found.
    EXPECT_EQ(pDoc->m_findHistory, (std::vector<std::string>{"BAN", "AB"}));
    EXPECT_EQ(pFind->GetDlgItem<QComboBox>(IDC_FIND_WHAT)->itemText(0), QStringLiteral("BAN"));

    CReplaceDlg* pReplace = OpenReplace();
    ASSERT_NE(pReplace, nullptr);
    // Replace offers the last entries and appends.
    EXPECT_EQ(pReplace->GetDlgItem<QComboBox>(IDC_FIND_WHAT)->currentText(), QStringLiteral("AB"));
    SetText(*pReplace, IDC_FIND_WHAT, QStringLiteral("oslo"));
    SetText(*pReplace, IDC_REPLACE_WITH, QStringLiteral("Bergen"));
    ChooseField(*pReplace, QStringLiteral("*"));
    EXPECT_TRUE(pReplace->FindNext());
    EXPECT_EQ(pDoc->m_findHistory, (std::vector<std::string>{"BAN", "AB", "OSLO"}));
    EXPECT_EQ(pDoc->m_replaceHistory, (std::vector<std::string>{"Bergen"}));
    EXPECT_EQ(pReplace->GetDlgItem<QComboBox>(IDC_REPLACE_WITH)->currentText(), QStringLiteral("Bergen"));
}

// ---- replacing ----------------------------------------------------------------------------------

TEST_F(FindReplaceTest, ReplaceStoresTheWholeValueAndReplaceAllEveryMatchOfTheColumn) {
    CDBFDoc* pDoc = Open(FruitTable());
    ASSERT_NE(pDoc, nullptr);
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    EXPECT_FALSE(pDlg->GetDlgItem<QPushButton>(IDC_REPLACE)->isEnabled());
    SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("a"));
    SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("B"));
    ChooseField(*pDlg, QStringLiteral("NAME"));
    ASSERT_TRUE(Click(*pDlg, platform::IDOK));
    ASSERT_TRUE(Click(*pDlg, platform::IDOK));
    EXPECT_EQ(Current(), (FindCell{0, 1}));
    EXPECT_FALSE(pDoc->IsModified());
    ASSERT_TRUE(Click(*pDlg, IDC_REPLACE));
    EXPECT_EQ(Cell(0, 1), "B");
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_TRUE(pDlg->GetDlgItem<QPushButton>(IDC_REPLACE)->isEnabled());

    ChooseField(*pDlg, QStringLiteral("CITY"));
    SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("Rome"));
    EXPECT_EQ(pDlg->ReplaceAll(), 2);
    EXPECT_EQ(Cell(1, 0), "Rome");
    EXPECT_EQ(Cell(1, 1), "Oslo");
    EXPECT_EQ(Cell(1, 2), "Rome");
    EXPECT_EQ(Current(), (FindCell{1, 2}));
    EXPECT_FALSE(pDlg->GetDlgItem<QPushButton>(IDC_REPLACE)->isEnabled());
    EXPECT_EQ(Cell(0, 0), "xAbx");
}

// An empty search text would match every cell: it finds and replaces nothing.
TEST_F(FindReplaceTest, ABlankSearchFindsNothingAndReplacesNothing) {
    CDBFDoc* pDoc = Open(FruitTable());
    ASSERT_NE(pDoc, nullptr);
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("   "));
    SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("gone"));
    ChooseField(*pDlg, QStringLiteral("*"));
    CScopedMessageBoxHook boxes;
    for (int nId : {int(platform::IDOK), int(IDC_REPLACE), int(IDC_REPLACE_ALL)})
        EXPECT_FALSE(Click(*pDlg, nId)) << nId;
    EXPECT_FALSE(pDlg->FindNext());
    EXPECT_FALSE(pDlg->Replace());
    EXPECT_EQ(pDlg->ReplaceAll(), 0);
    EXPECT_EQ(Cell(0, 0), "xAbx");
    EXPECT_EQ(Cell(1, 1), "Oslo");
    EXPECT_FALSE(pDoc->IsModified());
}

// Texts that are no value of their field are refused cell by cell: the
// other cells are stored, and one message at the end counts the refused.
TEST_F(FindReplaceTest, ReplaceAllStoresWhatTheFieldsTakeAndReportsTheRestOnce) {
    std::string strPath = TableBuilder()
                              .Field("NAME", 'C', 10)
                              .Field("QTY", 'N', 5)
                              .Field("BORN", 'D', 8)
                              .Record({"a7", "17", "20070101"})
                              .Record({"b", "70", "19990101"})
                              .Write(m_dir.Path("mixed.dbf"));
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    pDoc->m_strDateFormat = "%Y-%m-%d";
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("7"));
    SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("seven"));
    ChooseField(*pDlg, QStringLiteral("*"));
    CScopedMessageBoxHook boxes;
    EXPECT_EQ(pDlg->ReplaceAll(), 1);
    EXPECT_EQ(Cell(0, 0), "seven");
    EXPECT_EQ(Cell(1, 0), "17");
    EXPECT_EQ(Cell(1, 1), "70");
    EXPECT_TRUE(pDoc->IsModified());
    ASSERT_EQ(boxes.GetRequests().size(), 1u);
    EXPECT_TRUE(boxes.GetRequests()[0].strText.startsWith(QStringLiteral("The replacement was not stored in 3 of the 4")))
        << boxes.GetRequests()[0].strText.toStdString();
    EXPECT_TRUE(boxes.GetRequests()[0].strText.contains(QStringLiteral("\"seven\" is not a number")))
        << boxes.GetRequests()[0].strText.toStdString();

    // One Replace that the field refuses says why and changes nothing.
    pDoc->SetModifiedFlag(false);
    ChooseField(*pDlg, QStringLiteral("QTY"));
    ASSERT_TRUE(pDlg->FindNext());
    EXPECT_FALSE(pDlg->Replace());
    EXPECT_EQ(Cell(1, 0), "17");
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_TRUE(boxes.GetRequests().back().strText.contains(QStringLiteral("\"seven\" is not a number")))
        << boxes.GetRequests().back().strText.toStdString();
}

// A sort or an edit under the open dialog: Replace overwrites only the cell
// it found while it is still current and still matches; otherwise it finds
// the next match first.
TEST_F(FindReplaceTest, ReplaceAfterTheRowsMovedFindsAgainInsteadOfOverwriting) {
    CDBFDoc* pDoc = Open(FruitTable());
    ASSERT_NE(pDoc, nullptr);
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("ab"));
    SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("X"));
    ChooseField(*pDlg, QStringLiteral("CITY"));
    ASSERT_TRUE(pDlg->FindNext());
    ASSERT_TRUE(pDlg->FindNext());
    ASSERT_EQ(Current(), (FindCell{1, 2}));  // abba

    // Sorted by NAME (BANANA, none, xAbx), row 2 shows another record's city.
    View()->OnColumnHeaderUp(0, 0);
    ui_test::Settle();
    EXPECT_EQ(pDlg->GetStartPosition(), FindCell{});
    CScopedMessageBoxHook boxes;
    EXPECT_FALSE(pDlg->Replace());
    // Found again from the top: abba, now on row 1, untouched.
    EXPECT_EQ(Current(), (FindCell{1, 1}));
    EXPECT_EQ(Cell(1, 1), "abba");
    EXPECT_EQ(Cell(1, 2), "cab");
    EXPECT_FALSE(pDoc->IsModified());

    // An edit that takes the match away.
    ASSERT_TRUE(View()->StoreCellText(1, 1, "Paris"));
    EXPECT_FALSE(pDlg->Replace());
    EXPECT_EQ(Cell(1, 1), "Paris");
    EXPECT_EQ(Current(), (FindCell{1, 2}));
    EXPECT_TRUE(pDlg->Replace());
    EXPECT_EQ(Cell(1, 2), "X");
}

// The text left in an open cell editor is committed before Replace looks at
// the cell, so it neither comes back over the replacement when the grid gets
// the focus, nor is lost under it when it no longer matches.
TEST_F(FindReplaceTest, AnOpenCellEditorIsCommittedBeforeReplace) {
    const struct {
        const char* pszTyped;
        bool bReplaced;
        const char* pszCell;
    } cases[] = {{"ANA", true, "pear"}, {"kiwi", false, "kiwi"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszTyped);
        CDBFDoc* pDoc = Open(FruitTable());
        ASSERT_NE(pDoc, nullptr);
        CDBFView* pView = View();
        CReplaceDlg* pDlg = OpenReplace();
        ASSERT_NE(pDlg, nullptr);
        SetText(*pDlg, IDC_FIND_WHAT, QStringLiteral("an"));
        SetText(*pDlg, IDC_REPLACE_WITH, QStringLiteral("pear"));
        ChooseField(*pDlg, QStringLiteral("NAME"));
        ASSERT_TRUE(pDlg->FindNext());
        ASSERT_EQ(Current(), (FindCell{0, 1}));
        // The user types into the found cell, then presses Replace.
        ui_test::ShowActive(*Frame());
        pView->setFocus();
        ui_test::Type(QString::fromLatin1(c.pszTyped));
        ASSERT_NE(pView->GetCurrentEditor(), nullptr);
        CScopedMessageBoxHook boxes;
        EXPECT_EQ(pDlg->Replace(), c.bReplaced);
        // The grid gets the focus back, as when the dialog closes.
        pDlg->close();
        ui_test::Settle();
        ui_test::ShowActive(*Frame());
        pView->setFocus();
        ui_test::Settle();
        EXPECT_EQ(Cell(0, 1), c.pszCell);
        pDoc->SetModifiedFlag(false);
        pDoc->OnCloseDocument();
        ui_test::Settle();
    }
}

// A DOS table in CP866: Replace all matches Cyrillic letters of any case
// and stores the new text in the table's page; the saved file reads back
// the same in dbftool and python3-dbfread, and the untouched record keeps
// every byte.
TEST_F(FindReplaceTest, ReplaceAllSavedReadsBackInOtherProgramsWithUntouchedRecordsKept) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    ASSERT_TRUE(pages.IsValid());
    const platform::CCodePage& oem = platform::OemCodePage();
    std::string strPath = TableBuilder()
                              .Field("NAME", 'C', 10)
                              .Field("CITY", 'C', 12)
                              .Record({"Anna", oem.FromUtf8("МОСКВА")})
                              .Record({"Boris", oem.FromUtf8("Казань")})
                              .Record({"Vera", oem.FromUtf8("Москва-2")})
                              .Write(m_dir.Path("cities.dbf"));
    testing_support::Bytes before = testing_support::ReadFileBytes(strPath);
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pDoc->m_bDosCodePage);
    CReplaceDlg* pDlg = OpenReplace();
    ASSERT_NE(pDlg, nullptr);
    SetText(*pDlg, IDC_FIND_WHAT, QString::fromUtf8("москва"));
    SetText(*pDlg, IDC_REPLACE_WITH, QString::fromUtf8("Тверь"));
    ChooseField(*pDlg, QStringLiteral("CITY"));
    ASSERT_EQ(pDlg->ReplaceAll(), 2);
    ASSERT_TRUE(Command(platform::ID_FILE_SAVE));
    EXPECT_FALSE(pDoc->IsModified());

    testing_support::Bytes after = testing_support::ReadFileBytes(strPath);
    ASSERT_EQ(after.size(), before.size());
    const size_t nHeader = 32 + 2 * 32 + 1, nRecord = 1 + 10 + 12;
    auto record = [&](const testing_support::Bytes& bytes, size_t i) {
        return std::string(bytes.begin() + long(nHeader + i * nRecord), bytes.begin() + long(nHeader + (i + 1) * nRecord));
    };
    EXPECT_EQ(record(after, 1), record(before, 1));
    std::string strCity = oem.FromUtf8("Тверь");
    strCity.resize(12, ' ');
    EXPECT_EQ(record(after, 0), " Anna      " + strCity);
    EXPECT_EQ(record(after, 2), " Vera      " + strCity);

    testing_support::CommandResult dump =
        testing_support::RunCommand(DBFTOOL_PATH, {"dump", strPath, "--oem=CP866", "--ansi=CP1251"});
    ASSERT_EQ(dump.nExit, 0) << dump.strErr;
    EXPECT_NE(dump.strOut.find("\"CITY\":\"Тверь\""), std::string::npos) << dump.strOut;
    EXPECT_NE(dump.strOut.find("\"CITY\":\"Казань\""), std::string::npos) << dump.strOut;

    const char* pszScript =
        "import sys\n"
        "try:\n"
        "    import dbfread\n"
        "except ImportError:\n"
        "    sys.exit(77)\n"
        "print('|'.join(r['CITY'] for r in dbfread.DBF(sys.argv[1], encoding='cp866')))\n";
    testing_support::CommandResult read = testing_support::RunCommand("/usr/bin/python3", {"-c", pszScript, strPath});
    if (read.nExit == 77)
        GTEST_SKIP() << "python3-dbfread is not installed";
    ASSERT_EQ(read.nExit, 0) << read.strErr;
    EXPECT_EQ(read.strOut, "Тверь|Казань|Тверь\n");
}

// ---- the dialogs' life ----------------------------------------------------------------------------

TEST_F(FindReplaceTest, AViewHasOneToolDialogWhichClosesWithItsWindowOrAnotherWindowsActivation) {
    CDBFDoc* pFirst = Open(FruitTable());
    ASSERT_NE(pFirst, nullptr);
    CDBFView* pView = View();
    CFindDlg* pFind = OpenFind();
    ASSERT_NE(pFind, nullptr);
    EXPECT_TRUE(pFind->isVisible());
    EXPECT_FALSE(pFind->isModal());

    // Working in the dialog, and going back to the table, keeps it.
    ui_test::ShowActive(*pFind);
    QTest::mouseClick(pFind->GetDlgItem<QComboBox>(IDC_FIND_WHAT)->lineEdit(), Qt::LeftButton);
    ui_test::Settle();
    EXPECT_EQ(pView->m_pFindDlg.data(), pFind);
    ui_test::ShowActive(*Frame());
    pView->setFocus();
    ui_test::Settle();
    EXPECT_EQ(pView->m_pFindDlg.data(), pFind);

    // Replace takes Find's place; opening Find again gives a fresh one.
    CReplaceDlg* pReplace = OpenReplace();
    ui_test::Settle();
    EXPECT_TRUE(pView->m_pFindDlg.isNull());
    ASSERT_NE(pReplace, nullptr);
    pFind = OpenFind();
    ui_test::Settle();
    EXPECT_TRUE(pView->m_pReplaceDlg.isNull());
    ASSERT_NE(pFind, nullptr);

    // Another table window becoming active closes it.
    std::string strSecond = m_dir.Path("second.dbf");
    TableBuilder().Field("A", 'C', 4).Record({"x"}).Write(strSecond);
    ASSERT_NE(Open(strSecond), nullptr);
    ui_test::Settle();
    EXPECT_TRUE(pView->m_pFindDlg.isNull());

    // Its own window closing closes it too.
    CFindDlg* pSecondFind = OpenFind();
    ASSERT_NE(pSecondFind, nullptr);
    QPointer<QDialog> pWatch = pSecondFind;
    Doc()->OnCloseDocument();
    ui_test::Settle();
    EXPECT_TRUE(pWatch.isNull());

    // Close and Escape end it.
    Frame()->ActivateFrame(Frame()->GetChildFrames().front());
    pFind = OpenFind();
    ASSERT_NE(pFind, nullptr);
    Click(*pFind, platform::IDCANCEL);
    EXPECT_TRUE(View()->m_pFindDlg.isNull());
}

TEST_F(FindReplaceTest, FindNeedsRowsAndReplaceAWritableTable) {
    std::string strEmpty = TableBuilder().Field("A", 'C', 4).Write(m_dir.Path("empty.dbf"));
    ASSERT_NE(Open(strEmpty), nullptr);
    EXPECT_FALSE(State(platform::ID_EDIT_FIND).IsEnabled());
    EXPECT_FALSE(State(platform::ID_EDIT_REPLACE).IsEnabled());

    std::string strPath = FruitTable();
    tabulon::CTableSettings(m_pApp->GetProgramSettings(), strPath).SetOpenMode(64);
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pDoc->IsReadOnly());
    EXPECT_TRUE(State(platform::ID_EDIT_FIND).IsEnabled());
    EXPECT_FALSE(State(platform::ID_EDIT_REPLACE).IsEnabled());
}

}  // namespace
