// The Filter dialog and the document's filter, and the Formulas dialog on
// integer, numeric, currency, double and text cells.
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "editor/filter_dlg.h"
#include "editor/formula_dlg.h"
#include "editor/view_filter.h"
#include "platform/core/code_page.h"
#include "platform/core/user_locale.h"
#include "platform/ui/command_ids.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/table_builder.h"

namespace {

using editor_test::TabulonTest;
using testing_support::LE32;
using testing_support::LE64;
using testing_support::LEDouble;
using testing_support::TableBuilder;

class FilterTest : public TabulonTest {
protected:
    std::string People(const std::string& strName) {
        return TableBuilder(0x03)
            .Field("NAME", 'C', 12)
            .Field("CITY", 'C', 10)
            .Field("AMOUNT", 'N', 6, 2)
            .Field("BORN", 'D', 8)
            .Record({"Anna", "Oslo", "3", "20020315"})
            .Record({"bernd", "Bonn", "12.5", "19991201"})
            .Record({"Carla", "ANNABERG", "0.25", "20020301"})
            .Record({"Dora", "Bonn", "", "20010101"})
            .Write(m_dir.Path(strName));
    }
    // Runs Filter with a condition and a field item ("*" or the field's name).
    void SetFilter(const QString& strCondition, const QString& strField) {
        platform::CScopedDialogHook answer([&](platform::CDialog& dialog) {
            dialog.GetDlgItem<QComboBox>(IDC_FILTER_CONDITION)->setEditText(strCondition);
            auto* pField = dialog.GetDlgItem<QComboBox>(IDC_FILTER_FIELD);
            for (int i = 0; i < pField->count(); ++i)
                if (pField->itemText(i) == strField || pField->itemText(i).startsWith(strField + QStringLiteral("   ")))
                    pField->setCurrentIndex(i);
            dialog.OnOK();
            return dialog.GetModalResult();
        });
        ASSERT_TRUE(Command(ID_VIEW_FILTER));
    }
    std::string Names() {
        std::string str;
        for (int32_t i = 0; i < View()->GetRowCount(); ++i)
            str += (str.empty() ? "" : ",") + Cell(0, i);
        return str;
    }
};

TEST_F(FilterTest, ConditionsMatchTheCellTextsInAnyLetterCase) {
    ASSERT_NE(Open(People("people.dbf")), nullptr);
    Doc()->m_strDateFormat = "%Y-%m-%d";
    struct Case {
        const char* pszCondition;
        const char* pszField;
        const char* pszNames;
    };
    const Case kCases[] = {
        {"anna", "*", "Anna,Carla"},      // any field, any case
        {"anna", "NAME", "Anna"},         // one field
        {"3.00", "*", "Anna"},            // numbers as shown
        {".50", "AMOUNT", "bernd"},
        {"0.00", "AMOUNT", "Dora"},       // a blank number shows 0.00
        {"2002-03", "BORN", "Anna,Carla"},  // dates as shown
        {"03.2002", "BORN", ""},
        {"", "*", "Anna,bernd,Carla,Dora"},  // an empty condition: no filter
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszCondition);
        SetFilter(QString::fromLatin1(c.pszCondition), QString::fromLatin1(c.pszField));
        EXPECT_EQ(Names(), c.pszNames);
        EXPECT_EQ(State(ID_VIEW_FILTER).GetCheck(), *c.pszCondition ? 1 : 0);
    }
    // Each condition typed anew is in the history once, newest first.
    EXPECT_EQ(Doc()->m_findHistory.size(), 6u);
    EXPECT_EQ(Doc()->m_findHistory.front(), "03.2002");
}

TEST_F(FilterTest, CyrillicLettersMatchInEitherCaseThroughTheDisplayCodePage) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    const std::string kUpper866 = "\x8F\x90\x88\x82\x85\x92";   // ПРИВЕТ
    const std::string kLower1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";  // привет
    ASSERT_NE(Open(TableBuilder(0x03)
                       .Field("NAME", 'C', 12)
                       .Record({kUpper866 + " 1"})
                       .Record({"other"})
                       .Write(m_dir.Path("cyr.dbf"))),
              nullptr);
    ASSERT_TRUE(Doc()->m_bDosCodePage);
    SetFilter(View()->GetTextCodec().ToUnicode(kLower1251), QStringLiteral("*"));
    ASSERT_EQ(View()->GetRowCount(), 1);
    EXPECT_EQ(Cell(0, 0).substr(0, 6), "\xCF\xD0\xC8\xC2\xC5\xD2");
    // Converted to Windows text, the same record is still the one shown.
    ASSERT_TRUE(Command(ID_FILE_DOS_TO_WIN));
    ASSERT_TRUE(Command(ID_VIEW_SHOW_DELETED));  // the list is rebuilt
    ASSERT_EQ(View()->GetRowCount(), 1);
    EXPECT_EQ(Cell(0, 0).substr(0, 6), "\xCF\xD0\xC8\xC2\xC5\xD2");
}

TEST_F(FilterTest, EachWindowKeepsItsOwnFilterAndMark) {
    CDBFDoc* pFirst = Open(People("first.dbf"));
    CDBFView* pFirstView = View();
    SetFilter(QStringLiteral("bonn"), QStringLiteral("CITY"));
    ASSERT_EQ(Names(), "bernd,Dora");

    // The second table has its fields in another order: a shared field index
    // would look in NAME here.
    CDBFDoc* pSecond = Open(TableBuilder(0x03)
                                .Field("CITY", 'C', 10)
                                .Field("NAME", 'C', 12)
                                .Record({"Oslo", "bonnie"})
                                .Record({"Bonn", "Eva"})
                                .Record({"Rome", "Fritz"})
                                .Write(m_dir.Path("second.dbf")));
    ASSERT_NE(pSecond, pFirst);
    EXPECT_EQ(State(ID_VIEW_FILTER).GetCheck(), 0);
    SetFilter(QStringLiteral("o"), QStringLiteral("*"));
    EXPECT_EQ(View()->GetRowCount(), 3);
    SetFilter(QStringLiteral("rom"), QStringLiteral("CITY"));
    EXPECT_EQ(Names(), "Rome");

    // The first window rebuilds its list with its own condition and field.
    pFirst->m_table.Requery();
    pFirstView->UpdateRowCount();
    EXPECT_EQ(pFirstView->GetRowCount(), 2);
    EXPECT_EQ(pFirst->m_filter.strCondition, "bonn");
    EXPECT_EQ(pSecond->m_filter.strCondition, "rom");
}

TEST_F(FilterTest, AStructureChangeFindsTheFieldAgainByNameOrDropsTheFilter) {
    std::string strPath = People("people.dbf");
    CDBFDoc* pDoc = Open(strPath);
    SetFilter(QStringLiteral("bonn"), QStringLiteral("CITY"));
    ASSERT_EQ(View()->GetRowCount(), 2);

    // CITY moves to the front: the filter follows it.
    TableBuilder(0x03)
        .Field("CITY", 'C', 10)
        .Field("NAME", 'C', 12)
        .Record({"Bonn", "x"})
        .Record({"Oslo", "bonn"})
        .Record({"Bonn", "y"})
        .Write(strPath);
    ASSERT_TRUE(pDoc->ReloadTable());
    pDoc->SetDefaultLayout();
    View()->OnInitialUpdate();
    EXPECT_EQ(View()->GetRowCount(), 2);
    EXPECT_EQ(pDoc->m_filter.nField, 0);

    // CITY goes: so does the filter, and its mark.
    TableBuilder(0x03).Field("NAME", 'C', 12).Record({"a"}).Record({"b"}).Write(strPath);
    ASSERT_TRUE(pDoc->ReloadTable());
    pDoc->SetDefaultLayout();
    View()->OnInitialUpdate();
    EXPECT_EQ(View()->GetRowCount(), 2);
    EXPECT_TRUE(pDoc->m_filter.strCondition.empty());
    EXPECT_FALSE(pDoc->m_table.HasFilter());
    EXPECT_EQ(State(ID_VIEW_FILTER).GetCheck(), 0);
}

// ---- formulas ---------------------------------------------------------------------------

class FormulaTest : public TabulonTest {
protected:
    // A Visual FoxPro table: I, N(5,2), Y, B, C.
    std::string Numbers() {
        auto record = [](int32_t n, const char* pszN, int64_t nCurrency, double d, const char* pszText) {
            return std::vector<std::string>{LE32(uint32_t(n)), pszN, LE64(uint64_t(nCurrency)), LEDouble(d), pszText};
        };
        return TableBuilder(0x30)
            .Field("I", 'I', 4)
            .Field("N", 'N', 5, 2)
            .Field("Y", 'Y', 8, 4)
            .Field("B", 'B', 8, 2)
            .Field("C", 'C', 6)
            .Record(record(7, "3.00", 11500, 2.5, "7"))
            .Record(record(INT32_MIN, "99.00", 7000, 1e308, "x"))
            .Record(record(INT32_MAX, "-1.25", 1, -3.0, "y"))
            .Write(m_dir.Path("numbers.dbf"));
    }
    CFormulaDlg* OpenFormulas() {
        EXPECT_TRUE(Command(ID_EDIT_FORMULAS));
        return qobject_cast<CFormulaDlg*>(View()->m_pFormulaDlg.data());
    }
    // Applies a formula to a block of cells; the message boxes it showed.
    std::vector<QString> Apply(int nOperator, const char* pszNumber, int nLeft, int nRight, int nTop, int nBottom) {
        View()->SelectRange(nLeft, nRight, nTop, nBottom);
        CFormulaDlg* pDialog = qobject_cast<CFormulaDlg*>(View()->m_pFormulaDlg.data());
        if (!pDialog)
            pDialog = OpenFormulas();
        EXPECT_NE(pDialog, nullptr);
        std::vector<QString> texts;
        if (!pDialog)
            return texts;
        pDialog->GetDlgItem<QComboBox>(IDC_FORMULA_OPERATOR)->setCurrentIndex(nOperator);
        pDialog->GetDlgItem<QLineEdit>(IDC_FORMULA_NUMBER)->setText(QString::fromUtf8(pszNumber));
        platform::CScopedMessageBoxHook boxes;
        pDialog->OnOK();
        for (const platform::MessageBoxRequest& request : boxes.GetRequests())
            texts.push_back(request.strText);
        return texts;
    }
    std::string Row(int nRow) {
        std::string str;
        for (int nCol = 0; nCol < 5; ++nCol)
            str += (nCol ? "|" : "") + Cell(nCol, nRow);
        return str;
    }
};

enum { opSet, opAdd, opSub, opMul, opDiv };

TEST_F(FormulaTest, EachKindOfFieldComputesItsOwnWayAndTextCellsStayAlone) {
    ASSERT_NE(Open(Numbers()), nullptr);
    ASSERT_EQ(Row(0), "7|3.00|1.15|2.50|7");
    struct Case {
        int nOp;
        const char* pszNumber;
        int nLeft, nRight, nRow;
        const char* pszRow;
    };
    const Case kCases[] = {
        {opMul, "2.5", 0, 4, 0, "14|7.50|2.875|6.25|7"},  // integers by 2, the rest by 2.5
        {opSet, "1.15", 2, 2, 0, "14|7.50|1.15|6.25|7"},  // amounts rounded, not cut
        {opSet, "0.7", 2, 2, 0, "14|7.50|0.7|6.25|7"},
        {opAdd, "0.1", 2, 2, 0, "14|7.50|0.8|6.25|7"},    // exactly, in ten-thousandths
        {opDiv, "3", 2, 2, 0, "14|7.50|0.2667|6.25|7"},
        {opSub, "15", 0, 0, 0, "-1|7.50|0.2667|6.25|7"},
        {opDiv, "-1", 0, 1, 0, "1|-7.50|0.2667|6.25|7"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszRow);
        EXPECT_TRUE(Apply(c.nOp, c.pszNumber, c.nLeft, c.nRight, c.nRow, c.nRow).empty());
        EXPECT_EQ(Row(c.nRow), c.pszRow);
    }
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_NE(View()->m_pFormulaDlg, nullptr);  // the dialog stays open

    // Saved: the changed record reads back so, the others keep their bytes.
    std::string strPath = Doc()->m_table.GetFilePath();
    testing_support::Bytes before = testing_support::ReadFileBytes(strPath);
    ASSERT_TRUE(Command(platform::ID_FILE_SAVE));
    testing_support::Bytes after = testing_support::ReadFileBytes(strPath);
    ASSERT_EQ(after.size(), before.size());
    size_t nHeader = size_t(before[8]) | size_t(before[9]) << 8;
    size_t nRecord = size_t(before[10]) | size_t(before[11]) << 8;
    EXPECT_EQ(testing_support::Bytes(after.begin() + long(nHeader + nRecord), after.end()),
              testing_support::Bytes(before.begin() + long(nHeader + nRecord), before.end()));
    testing_support::CommandResult read = testing_support::RunCommand(
        access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3",
        {"-c",
         "import dbfread,sys\n"
         "r=next(iter(dbfread.DBF(sys.argv[1],ignore_missing_memofile=True)))\n"
         "print(r['I'],r['N'],r['Y'],r['B'],r['C'])",
         strPath});
    ASSERT_EQ(read.nExit, 0) << read.strErr;
    EXPECT_EQ(read.strOut, "1 -7.5 0.2667 6.25 7\n");
}

TEST_F(FormulaTest, AResultAFieldCannotHoldChangesNothingAndIsNamedOnce) {
    ASSERT_NE(Open(Numbers()), nullptr);
    const std::string kRows[3] = {Row(0), Row(1), Row(2)};
    struct Case {
        int nOp;
        const char* pszNumber;
        int nLeft, nRight, nTop, nBottom;
        const char* pszMessage;  // its beginning
    };
    const Case kCases[] = {
        {opDiv, "0", 0, 4, 0, 2, "Not division by zerro."},
        {opDiv, "0.5", 0, 0, 0, 2, "Not division by zerro."},  // the integer divisor is 0
        {opDiv, "-1", 0, 0, 0, 2, "Nothing was changed: the result for row 2, field I"},  // INT_MIN / -1
        {opAdd, "1", 0, 0, 0, 2, "Nothing was changed: the result for row 3, field I"},
        {opMul, "3", 0, 0, 0, 2, "Nothing was changed: the result for row 2, field I"},
        {opMul, "10000", 1, 1, 0, 2, "Nothing was changed: the result for row 2, field N"},  // 990000 in N(5,2)
        {opMul, "10", 3, 3, 0, 2, "Nothing was changed: the result for row 2, field B"},  // infinite
        {opSet, "1e300", 2, 2, 0, 0, "Nothing was changed: the result for row 1, field Y"},
        {opSet, "abc", 0, 0, 0, 0, "Enter a number."},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.pszNumber) + " " + c.pszMessage);
        std::vector<QString> texts = Apply(c.nOp, c.pszNumber, c.nLeft, c.nRight, c.nTop, c.nBottom);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_TRUE(texts[0].startsWith(QString::fromLatin1(c.pszMessage))) << texts[0].toStdString();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Row(i), kRows[i]);
    }
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(FormulaTest, AmountsKeepTheirFractionUnderADecimalComma) {
    platform::CUserLocale old = platform::CUserLocale::Current();
    platform::CUserLocale::SetCurrent(platform::CUserLocale::FromName("de_DE.UTF-8"));
    ASSERT_NE(Open(Numbers()), nullptr);
    EXPECT_TRUE(Apply(opAdd, "0,1", 2, 2, 0, 0).empty());
    EXPECT_EQ(Cell(2, 0), "1,25");
    EXPECT_TRUE(Apply(opMul, "1.5", 2, 2, 0, 0).empty());  // a full stop is read too
    EXPECT_EQ(Cell(2, 0), "1,875");
    platform::CUserLocale::SetCurrent(old);
}

TEST_F(FormulaTest, AnOpenEditorIsEndedBeforeTheFormulaAndCannotOverwriteItsResult) {
    ui_test::ShowActive(*Frame());
    ASSERT_NE(Open(Numbers()), nullptr);
    CFormulaDlg* pDialog = OpenFormulas();
    ASSERT_NE(pDialog, nullptr);
    View()->GoToCell(1, 0);
    View()->activateWindow();
    View()->setFocus();
    ui_test::Settle();
    ui_test::Type("5");  // an editor opens on N with the typed text
    ui_test::Settle();
    CKelCellEditor* pEditor = View()->GetCurrentEditor();
    ASSERT_NE(pEditor, nullptr);
    double dTyped = std::atof(pEditor->GetEditorValue().strText.c_str());
    char szExpected[32];
    std::snprintf(szExpected, sizeof szExpected, "%.2f", dTyped + 1);
    // Apply with the editor open (no selection change, which would end it).
    pDialog->GetDlgItem<QComboBox>(IDC_FORMULA_OPERATOR)->setCurrentIndex(opAdd);
    pDialog->GetDlgItem<QLineEdit>(IDC_FORMULA_NUMBER)->setText(QStringLiteral("1"));
    pDialog->OnOK();
    EXPECT_EQ(Cell(1, 0), szExpected);
    View()->setFocus();
    ui_test::Settle();
    EXPECT_EQ(Cell(1, 0), szExpected);
}

TEST_F(FormulaTest, TheNumberIsKeptAsTheDecimalTyped) {
    struct Case {
        const char* pszText;
        bool bOk;
        bool bDecimal;
        int64_t nDigits;
        int nScale;
    };
    const Case kCases[] = {
        {"1.15", true, true, 115, 2},  {"-0.5", true, true, -5, 1}, {"2e3", true, true, 2000, 0},
        {"1e-30", true, false, 0, 0},  {"x", false, false, 0, 0},   {"", false, false, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszText);
        FormulaNumber number;
        ASSERT_EQ(ParseFormulaNumber(c.pszText, number), c.bOk);
        if (!c.bOk)
            continue;
        EXPECT_EQ(number.bDecimal, c.bDecimal);
        if (c.bDecimal) {
            EXPECT_EQ(number.nDigits, c.nDigits);
            EXPECT_EQ(number.nScale, c.nScale);
        }
    }
}

}  // namespace
