// Peekrow's Find dialog driven by its control ids: First then Down, Up at
// the top, ranges of numbers and days with And and Or, blank values that
// match no range, the logical and text panels, the pre-filled bounds, the
// history, and a dialog that reads the window's code page, active pane and
// columns at each search rather than when it opened.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "grid/columns/columns_dlg.h"
#include "tests/viewer/viewer_test_support.h"
#include "viewer/find_dlg.h"

using namespace viewer_test;

namespace {

enum Field { kName, kAmount, kBorn, kStamp, kOk };

// NAME C 8, AMOUNT N 8.2, BORN D, STAMP T, OK L.
std::string FindTable(const TempDir& dir) {
    const int32_t nDay = JulianDay(2021, 3, 14);
    return TableBuilder(0x30)
        .Field("NAME", 'C', 8)
        .Field("AMOUNT", 'N', 8, 2)
        .Field("BORN", 'D', 8)
        .Field("STAMP", 'T', 8)
        .Field("OK", 'L', 1)
        .Record({"xABCx", "9.99", "20210313", DateTimeBytes(nDay - 1, 86399000), "T"})
        .Record({"abc", "10", "20210314", DateTimeBytes(nDay, 0), "?"})
        .Record({"Abc", "15", "20210315", DateTimeBytes(nDay, 43200000), "t"})
        .Record({"other", "20", "20210316", DateTimeBytes(nDay + 1, 0), "F"})
        .Record({"abc", "", "        ", DateTimeBytes(0, 0), " "})
        .Record({"last", "20.01", "20210317", DateTimeBytes(nDay + 2, 0), "Y"})
        .Write(dir.Path("find.dbf"));
}

class PeekrowFind : public PeekrowTest {
protected:
    void SetUp() override {
        PeekrowTest::SetUp();
        ASSERT_TRUE(Open(FindTable(m_dir)));
    }
    CFindDlg* Dialog() const { return Window() ? Window()->GetFindDialog() : nullptr; }
    CFindDlg* OpenDialog() {
        EXPECT_TRUE(Command(platform::ID_EDIT_FIND));
        return Dialog();
    }
    template <class T>
    T* Item(int nId) const {
        return Dialog()->GetDlgItem<T>(nId);
    }
    template <class T>
    T* PanelItem(int nId) const {
        return Dialog()->GetShownPanel() ? Dialog()->GetShownPanel()->GetDlgItem<T>(nId) : nullptr;
    }
    // Presses Find; the row found (data index) or -1 with "Not found" said.
    int Find() {
        ForgetBoxes();
        Item<QPushButton>(IDC_FIND_FIND)->click();
        ui_test::Settle();
        if (!Boxes().empty()) {
            EXPECT_EQ(Boxes()[0].strText, QStringLiteral("Not found"));
            EXPECT_EQ(Boxes()[0].strCaption, QStringLiteral("Find"));
            return -1;
        }
        return int(Window()->GetActivePane()->GetCurrentDataRow());
    }
    // Chooses a field as the user does, then the advanced form.
    void Advanced(int nField) {
        QComboBox* pFields = Item<QComboBox>(IDC_FIND_FIELD);
        pFields->setCurrentIndex(pFields->findData(nField));
        emit pFields->activated(pFields->currentIndex());
        if (!Dialog()->IsAdvanced())
            Item<QPushButton>(IDC_FIND_ADVANCED)->click();
        ui_test::Settle();
    }
    void Range(const char* pszLower, const char* pszUpper, bool bOr = false) {
        PanelItem<QLineEdit>(IDC_RANGE_LOWER)->setText(QString::fromLatin1(pszLower));
        PanelItem<QLineEdit>(IDC_RANGE_UPPER)->setText(QString::fromLatin1(pszUpper));
        PanelItem<QRadioButton>(bOr ? IDC_RANGE_OR : IDC_RANGE_AND)->setChecked(true);
        Dialog()->SetDirection(FindDirection::first);
    }
    // Every row a search finds, from First on.
    std::vector<int> FindAll() {
        std::vector<int> rows;
        for (int n = Find(); n >= 0 && rows.size() < 10; n = Find())
            rows.push_back(n);
        return rows;
    }
};

}  // namespace

TEST_F(PeekrowFind, FirstThenDownContinuesAndUpAtTheTopIsNotFound) {
    CFindDlg* pDlg = OpenDialog();
    ASSERT_NE(pDlg, nullptr);
    EXPECT_EQ(pDlg->GetSelectedField(), kName) << "the current column's field";
    EXPECT_EQ(Item<QComboBox>(IDC_FIND_FIELD)->itemText(kAmount), QStringLiteral("AMOUNT   N(8,2)"));
    EXPECT_EQ(Item<QComboBox>(IDC_FIND_FIELD)->itemText(kBorn), QStringLiteral("BORN   D(8)"));
    EXPECT_TRUE(Item<QRadioButton>(IDC_FIND_FIRST)->isChecked());
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QStringLiteral("abc"));
    EXPECT_EQ(Find(), 1) << "case-sensitive: not xABCx";
    EXPECT_TRUE(Item<QRadioButton>(IDC_FIND_DOWN)->isChecked());
    EXPECT_EQ(Find(), 4);
    EXPECT_EQ(Find(), -1);
    EXPECT_EQ(Window()->GetActivePane()->GetCurrentDataRow(), 4) << "not found leaves the cell";

    View()->GoToCell(0, 0);
    pDlg->SetDirection(FindDirection::up);
    EXPECT_EQ(Find(), -1);
    // The same text twice is one history entry; the field change resets the direction.
    EXPECT_EQ(CPeekrowApp::FindHistory(), QStringList{QStringLiteral("abc")});
    pDlg->SelectField(kAmount);
    emit Item<QComboBox>(IDC_FIND_FIELD)->activated(kAmount);
    EXPECT_TRUE(Item<QRadioButton>(IDC_FIND_FIRST)->isChecked());
}

TEST_F(PeekrowFind, NumberRangesTakeBothBoundsAndBlankNumbersNone) {
    OpenDialog();
    Advanced(kAmount);
    ASSERT_NE(Dialog()->GetShownPanel(), nullptr);
    EXPECT_EQ(Dialog()->GetShownPanel()->GetKind(), FindPanel::number);
    EXPECT_FALSE(Item<QComboBox>(IDC_FIND_TEXT)->isEnabled()) << "the range replaces the text";
    EXPECT_EQ(Item<QPushButton>(IDC_FIND_ADVANCED)->text(), QStringLiteral("&Advansed<<"));
    Range("10", "20");
    EXPECT_EQ(FindAll(), (std::vector<int>{1, 2, 3})) << "10, 15 and 20, not 9.99 or 20.01";
    Range("10", "20", true);
    EXPECT_EQ(FindAll(), (std::vector<int>{0, 1, 2, 3, 5})) << "Or: every value but the blank one";
    Range("20,01", "9.99", true);
    EXPECT_EQ(FindAll(), (std::vector<int>{0, 5})) << "at or above 20.01, or at or below 9.99";
    Range("-1", "1");
    EXPECT_EQ(FindAll(), std::vector<int>{}) << "a blank number is not 0";

    // A typed find text goes into the range, with the field's decimals.
    Range("0", "100");
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QStringLiteral("1,5"));
    EXPECT_EQ(PanelItem<QLineEdit>(IDC_RANGE_LOWER)->text(), QStringLiteral("1.50"));
    EXPECT_EQ(PanelItem<QLineEdit>(IDC_RANGE_UPPER)->text(), QStringLiteral("100.00"));
}

TEST_F(PeekrowFind, DateRangesCompareWholeDaysAndBlankDatesMatchNone) {
    OpenDialog();
    const struct {
        int nField;
        std::vector<int> inRange;
    } fields[] = {{kBorn, {1, 2}}, {kStamp, {1, 2, 3}}};
    for (const auto& [nField, inRange] : fields) {
        Advanced(nField);
        ASSERT_EQ(Dialog()->GetShownPanel()->GetKind(), FindPanel::date);
        // Picked by hand: the lower day at a quarter to four in the afternoon.
        PanelItem<QDateTimeEdit>(IDC_DATE_LOWER)->setDateTime(QDateTime(QDate(2021, 3, 14), QTime(15, 45)));
        PanelItem<QDateTimeEdit>(IDC_DATE_UPPER)->setDateTime(QDateTime(QDate(2021, 3, 15), QTime(0, 0)));
        PanelItem<QRadioButton>(IDC_RANGE_AND)->setChecked(true);
        Dialog()->SetDirection(FindDirection::first);
        EXPECT_EQ(FindAll(), inRange) << "the lower day itself is in the range, field " << nField;
        PanelItem<QDateTimeEdit>(IDC_DATE_LOWER)->setDateTime(QDateTime(QDate(1, 1, 1), QTime(0, 0)));
        PanelItem<QDateTimeEdit>(IDC_DATE_UPPER)->setDateTime(QDateTime(QDate(9999, 1, 1), QTime(0, 0)));
        Dialog()->SetDirection(FindDirection::first);
        EXPECT_EQ(FindAll(), (std::vector<int>{0, 1, 2, 3, 5})) << "no blank date in any range, field " << nField;
    }
}

TEST_F(PeekrowFind, LogicalAndTextPanels) {
    OpenDialog();
    Advanced(kOk);
    ASSERT_EQ(Dialog()->GetShownPanel()->GetKind(), FindPanel::logical);
    PanelItem<QRadioButton>(IDC_LOGICAL_INVALID)->setChecked(true);
    Dialog()->SetDirection(FindDirection::first);
    EXPECT_EQ(FindAll(), (std::vector<int>{1, 2})) << "? and a lower-case t";
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QStringLiteral("y"));
    EXPECT_TRUE(PanelItem<QRadioButton>(IDC_LOGICAL_YES)->isChecked());
    Dialog()->SetDirection(FindDirection::first);
    EXPECT_EQ(FindAll(), std::vector<int>{5});

    Advanced(kName);
    ASSERT_EQ(Dialog()->GetShownPanel()->GetKind(), FindPanel::text);
    EXPECT_TRUE(Item<QComboBox>(IDC_FIND_TEXT)->isEnabled());
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QStringLiteral("abc"));
    PanelItem<QCheckBox>(IDC_TEXT_MATCH_CASE)->setChecked(false);
    Dialog()->SetDirection(FindDirection::first);
    EXPECT_EQ(FindAll(), (std::vector<int>{0, 1, 2, 4}));
}

TEST_F(PeekrowFind, EachSearchReadsTheWindowAsItIsNow) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    const std::string strDos = TableBuilder(0x03)
                                   .CodePageMark(0x65)
                                   .Field("N", 'N', 4)
                                   .Field("WORD", 'C', 4)
                                   .Record({"1", "\x86\xE3\xAA"})  // CP866 for the CP1251 "\xC6\xF3\xEA"
                                   .Record({"2", "\xC6\xF3\xEA"})
                                   .Record({"3", "\x86\xE3\xAA"})
                                   .Write(m_dir.Path("dos.dbf"));
    ASSERT_TRUE(Open(strDos));
    CFindDlg* pDlg = OpenDialog();
    pDlg->SelectField(1);
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QString::fromUtf8("Жук"));
    EXPECT_EQ(Find(), 0) << "DOS text, found through the OEM page";
    // Any letter case: the DOS text is converted before it is folded.
    Advanced(1);
    ASSERT_EQ(pDlg->GetShownPanel()->GetKind(), FindPanel::text);
    PanelItem<QCheckBox>(IDC_TEXT_MATCH_CASE)->setChecked(false);
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QString::fromUtf8("жУК"));
    pDlg->SetDirection(FindDirection::first);
    EXPECT_EQ(FindAll(), (std::vector<int>{0, 2}));
    Item<QPushButton>(IDC_FIND_ADVANCED)->click();
    Item<QComboBox>(IDC_FIND_TEXT)->setEditText(QString::fromUtf8("Жук"));
    pDlg->SetDirection(FindDirection::first);
    // The user switches the window to Windows while the dialog stays open.
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_WIN));
    pDlg->SetDirection(FindDirection::first);
    EXPECT_EQ(Find(), 1) << "now the Windows bytes";

    // Another pane becomes the active one: Down starts from its row and
    // selects there.
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));
    ASSERT_TRUE(Splitter()->SplitRow(100));
    ui_test::Settle();
    Pane(0, 0)->GoToCell(0, 0);
    Splitter()->SetActivePane(1, 0);
    Pane(1, 0)->GoToCell(1, 1);
    ui_test::Settle();
    ASSERT_EQ(Window()->GetActivePane(), Pane(1, 0));
    pDlg->SetDirection(FindDirection::down);
    EXPECT_EQ(Find(), 2);
    EXPECT_EQ(Pane(1, 0)->GetCurrentDataRow(), 2);
    EXPECT_EQ(Pane(1, 0)->GetCurrentDataColumn(), 1) << "the column showing WORD";
    EXPECT_EQ(Pane(0, 0)->GetCurrentDataRow(), 0) << "the other pane stays";

    // The columns change order under the open dialog: the cell found is in
    // the column that shows the field now.
    platform::CScopedDialogHook reorder([](platform::CDialog& dialog) {
        auto& columns = dynamic_cast<CColumnsDlg&>(dialog);
        columns.GetList()->MoveToEntry(1);
        columns.OnUp();
        columns.OnOK();
        return columns.GetModalResult();
    });
    ASSERT_TRUE(Command(ID_VIEW_COLUMNS));
    pDlg->SetDirection(FindDirection::first);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(Window()->GetActivePane()->GetCurrentDataColumn(), 0);
}
