// The Columns dialog driven as a user drives it: buttons, check boxes, the
// width edit and the header edit, with the layout checked after each step,
// in both variants.
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>

#include "grid/columns/columns_strings.h"
#include "platform/core/code_page.h"
#include "platform/ui/dialog_data.h"
#include "tests/columns/columns_test_support.h"

using namespace columns_test;
using platform::ColumnLayout;
using platform::CScopedMessageBoxHook;

namespace {

const ColumnsDlgVariant kVariants[] = {ColumnsDlgVariant::Editor, ColumnsDlgVariant::Viewer};

// Entries out of field order, with headers, widths and grid columns of
// their own and the third hidden.
ColumnLayout EditedLayout() {
    ColumnLayout layout = platform::MakeDefaultLayout(Names());
    std::swap(layout[0], layout[2]);
    layout[0].strHead = "Town";
    layout[1].nWidth = 80;
    layout[1].nGridCol = 5;
    layout[2].bVisible = false;
    layout[3].nWidth = 1500;
    return layout;
}

}  // namespace

TEST(ColumnsDialog, UpAndDownStopAtTheEndsAndUndoEachOther) {
    for (ColumnsDlgVariant variant : kVariants) {
        ColumnsDialog f(variant, EditedLayout());
        f.Show();
        const ColumnsDlgIds& ids = f.Ids();
        EXPECT_EQ(f.Current(), 0);
        EXPECT_FALSE(f.Enabled(ids.nUp));
        EXPECT_TRUE(f.Enabled(ids.nDown));
        f.MoveTo(kField, 3);
        EXPECT_TRUE(f.Enabled(ids.nUp));
        EXPECT_FALSE(f.Enabled(ids.nDown));

        // The second entry goes down and comes back up, current all along,
        // with its width, grid column and header.
        f.MoveTo(kField, 1);
        f.Click(ids.nDown);
        EXPECT_EQ(f.Current(), 2);
        EXPECT_EQ(f.Layout()[2].nWidth, 80);
        EXPECT_EQ(f.WidthEdit()->text(), QStringLiteral("80"));
        f.Click(ids.nUp);
        EXPECT_EQ(f.Current(), 1);
        EXPECT_EQ(f.list().GetCurrentColumn() - f.list().GetFixedColumnCount(), kField);
        EXPECT_EQ(Dump(f.Layout()), Dump(EditedLayout()));
    }
}

TEST(ColumnsDialog, OkRefusesALayoutWithoutVisibleColumns) {
    for (ColumnsDlgVariant variant : kVariants) {
        ColumnsDialog f(variant, EditedLayout());
        f.Show();
        const ColumnsDlgIds& ids = f.Ids();
        // Hide by button, and by clicking check boxes of other rows: each
        // click is the entry's state at once, and the buttons follow it.
        f.MoveTo(kField, 0);
        f.Click(ids.nHide);
        EXPECT_FALSE(f.Layout()[0].bVisible);
        EXPECT_TRUE(f.Enabled(ids.nShow));
        EXPECT_FALSE(f.Enabled(ids.nHide));
        for (int nRow : {1, 3}) {
            f.ClickCell(kCheck, nRow);
            EXPECT_EQ(f.Current(), nRow);
            EXPECT_FALSE(f.Layout()[static_cast<size_t>(nRow)].bVisible) << "row " << nRow;
            EXPECT_TRUE(f.Enabled(ids.nShow));
            EXPECT_FALSE(f.Enabled(ids.nHide));
        }
        {
            CScopedMessageBoxHook hook;
            f.Click(platform::IDOK);
            ASSERT_EQ(hook.GetRequests().size(), 1u);
            EXPECT_EQ(hook.GetRequests()[0].nStringId, variant == ColumnsDlgVariant::Editor ? 59394u : 32833u);
            EXPECT_EQ(hook.GetRequests()[0].strText,
                      QStringLiteral("More than one column should be reflect. Before that to continue, select one "
                                     "of listed columns.\n"));
        }
        EXPECT_TRUE(f.dialog.isVisible());
        EXPECT_EQ(f.dialog.GetModalResult(), -1);

        // Back in the list, the current row's check box has the keyboard.
        f.list().setFocus();
        Settle();
        Key(Qt::Key_Space);
        EXPECT_TRUE(f.Layout()[3].bVisible);
        CScopedMessageBoxHook hook;
        f.Click(platform::IDOK);
        EXPECT_TRUE(hook.GetRequests().empty());
        EXPECT_EQ(f.dialog.GetModalResult(), platform::IDOK);
    }
}

TEST(ColumnsDialog, DefaultRestoresFieldOrderVisibilityAndNames) {
    for (ColumnsDlgVariant variant : kVariants) {
        ColumnsDialog f(variant, EditedLayout());
        f.Show();
        f.MoveTo(kField, 2);
        f.Click(f.Ids().nDefault);
        const ColumnLayout& layout = f.Layout();
        ASSERT_EQ(layout.size(), Names().size());
        for (size_t j = 0; j < layout.size(); ++j) {
            EXPECT_TRUE(layout[j].bVisible);
            EXPECT_EQ(layout[j].nField, static_cast<int>(j));
            EXPECT_EQ(layout[j].nGridCol, EditedLayout()[j].nGridCol) << "left as it was";
            // The viewer's entries have no header to restore.
            EXPECT_EQ(layout[j].strHead,
                      variant == ColumnsDlgVariant::Editor ? Names()[j] : EditedLayout()[j].strHead);
            QFontMetrics metrics(f.dialog.font());
            EXPECT_NEAR(layout[j].nWidth, metrics.horizontalAdvance(QString::fromStdString(Names()[j] + " ")), 1);
        }
        EXPECT_EQ(f.WidthEdit()->text(), QString::number(layout[2].nWidth));
        EXPECT_FALSE(f.Enabled(f.Ids().nShow));
        EXPECT_TRUE(f.Enabled(f.Ids().nHide));
    }
}

TEST(ColumnsDialog, OnlyATypedWidthIsStoredAndChecked) {
    for (ColumnsDlgVariant variant : kVariants) {
        ColumnLayout layout = EditedLayout();
        layout[3].bVisible = false;  // a hidden entry wider than the edit allows
        ColumnsDialog f(variant, layout);
        f.Show();
        CScopedMessageBoxHook hook;
        // Walking the rows shows each width (the grid's own as 0) and
        // neither stores nor checks it.
        const char* const kShown[] = {"0", "80", "0", "1500"};
        for (int nRow = 0; nRow < 4; ++nRow) {
            f.MoveTo(kField, nRow);
            EXPECT_EQ(f.WidthEdit()->text(), QString::fromLatin1(kShown[nRow]));
        }
        EXPECT_TRUE(hook.GetRequests().empty());
        EXPECT_EQ(Dump(f.Layout()), Dump(layout));

        // Typed widths are stored as they are typed; one past the range is
        // refused with the range message and the edit keeps the focus.
        f.MoveTo(kField, 1);
        f.WidthEdit()->setFocus();
        f.WidthEdit()->selectAll();
        Type("250");
        EXPECT_EQ(f.Layout()[1].nWidth, 250);
        EXPECT_TRUE(hook.GetRequests().empty());
        f.WidthEdit()->selectAll();
        f.WidthEdit()->insert(QStringLiteral("1001"));
        Settle();
        ASSERT_EQ(hook.GetRequests().size(), 1u);
        EXPECT_EQ(hook.GetRequests()[0].strText, QStringLiteral("Enter an integer between 0 and 1000."));
        EXPECT_EQ(f.Layout()[1].nWidth, 250);
        EXPECT_EQ(QApplication::focusWidget(), f.WidthEdit());
        // Digits only; an emptied edit stores nothing.
        f.WidthEdit()->selectAll();
        Type("-");
        Key(Qt::Key_Backspace);
        EXPECT_EQ(f.Layout()[1].nWidth, 250);
        EXPECT_EQ(hook.GetRequests().size(), 1u);

        // OK keeps the untouched entries as they were, -1 and 1500 included.
        f.Click(platform::IDOK);
        EXPECT_EQ(f.dialog.GetModalResult(), platform::IDOK);
        layout[1].nWidth = 250;
        EXPECT_EQ(Dump(f.Layout()), Dump(layout));
    }
}

TEST(ColumnsDialog, CancelGivesBackNothing) {
    ColumnLayout layout = EditedLayout();
    ui_test::EnsureApplication();
    for (ColumnsDlgVariant variant : kVariants) {
        CColumnsDlg dialog(variant);
        dialog.SetFieldNames(Names());
        dialog.SetLayout(layout);
        platform::CScopedDialogHook answer([](platform::CDialog& d) {
            auto& columns = static_cast<CColumnsDlg&>(d);
            columns.OnDown();
            columns.OnHide();
            columns.OnDefault();
            columns.OnCancel();
            return columns.GetModalResult();
        });
        EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
        EXPECT_EQ(answer.GetCount(), 1);
    }
}

TEST(ColumnsDialog, HeadersAreTypedIntoTheHeaderColumn) {
    platform::CScopedCodePages pages("866", "1251");
    ASSERT_TRUE(pages.IsValid());
    ColumnsDialog f(ColumnsDlgVariant::Editor);
    f.Show();
    // A typed letter opens the edit over the cell and replaces its text;
    // Enter commits it and leaves the list where it was.
    f.MoveTo(kHead, 1);
    Type(QStringLiteral("Имя"));
    EXPECT_TRUE(f.list().IsEditing());
    Key(Qt::Key_Return);
    EXPECT_FALSE(f.list().IsEditing());
    EXPECT_EQ(f.Layout()[1].strHead, "\xC8\xEC\xFF") << "typed in the window's page";
    EXPECT_EQ(f.Current(), 1);

    // Enter opens the edit with the text; moving away commits it.
    Key(Qt::Key_Return);
    ASSERT_TRUE(f.list().IsEditing());
    EXPECT_EQ(f.HeadText(), QStringLiteral("Имя"));
    Type(QStringLiteral("Ok"));
    Key(Qt::Key_Down);
    EXPECT_FALSE(f.list().IsEditing());
    EXPECT_EQ(f.Layout()[1].strHead, "Ok");

    // At most 254 characters, and never a line break, however it comes.
    Type(QStringLiteral("a"));
    QTest::keyClicks(QApplication::focusWidget(), QString(253, QLatin1Char('b')));
    Type(QStringLiteral("c"));
    EXPECT_EQ(f.HeadText().size(), kMaxColumnHeadLength);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("x\ny"),
                        Qt::NoModifier);
    QApplication::clipboard()->setText(QStringLiteral("p\rq"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.HeadText().toStdString(), "a" + std::string(251, 'b') + "p");
    Key(Qt::Key_Return);
    EXPECT_EQ(f.Layout()[2].strHead, "a" + std::string(251, 'b') + "p");

    // A double-click on a header opens its edit; the field column has none.
    f.ClickCell(kField, 0);
    Type(QStringLiteral("z"));
    EXPECT_FALSE(f.list().IsEditing());
    platform::Rect rc;  // absolute indexes: the first data row is row 1
    ASSERT_TRUE(f.list().GetCellRect(kHead, 1, rc));
    QTest::mouseDClick(f.list().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rc.left + 5, rc.top + 5));
    Settle();
    EXPECT_TRUE(f.list().IsEditing());
    EXPECT_EQ(f.Current(), 0);
    // Left open with a change: the dialog goes first, and the edit with it.
    Type(QStringLiteral("q"));
}

TEST(ColumnsDialog, DosNamesAreShownConverted) {
    const platform::CCodePage* p866 = platform::CCodePage::Find("866");
    const platform::CCodePage* p1251 = platform::CCodePage::Find("1251");
    ASSERT_TRUE(p866 && p1251);
    // "ИМЯ" in the DOS page, and a plain name.
    std::vector<std::string> names = {"\x88\x8C\x9F", "CITY"};
    for (bool bDos : {true, false}) {
        ColumnsDialog f(ColumnsDlgVariant::Viewer, {}, names);
        f.dialog.SetCodePage(bDos, platform::CTextCodec(p1251), p866);
        f.Show();
        EXPECT_EQ(f.list().GetCellValue(kField, 0).strText, bDos ? "\xC8\xCC\xDF" : names[0]);
        EXPECT_EQ(f.list().GetCellValue(kField, 1).strText, "CITY");
    }
}

TEST(ColumnsDialog, ViewerVariantHasItsOwnIdsAndNoHeaders) {
    ColumnsDialog f(ColumnsDlgVariant::Viewer, EditedLayout());
    f.Show();
    const struct {
        int nId;
        const char* pszText;
    } kButtons[] = {{1010, "&Up"}, {1011, "&Down"}, {1012, "&Show"}, {1015, "&Hide"}, {1016, "D&efault"}};
    for (const auto& button : kButtons) {
        ASSERT_NE(f.Button(button.nId), nullptr) << button.nId;
        EXPECT_EQ(f.Button(button.nId)->text(), QString::fromLatin1(button.pszText));
    }
    ASSERT_NE(f.dialog.GetDlgItem<QLineEdit>(1013), nullptr);
    EXPECT_EQ(f.dialog.GetDlgItem(1014), nullptr);
    EXPECT_EQ(f.list().GetFixedRowCount(), 0);
    ASSERT_EQ(f.list().GetColumnCount(-1), 2);
    EXPECT_EQ(f.list().GetColumnWidth(0, -1), 20);
    EXPECT_GE(f.list().GetColumnWidth(1, -1), 178);
    EXPECT_EQ(f.list().GetTotalWidth(), f.list().GetClientSize().cx) << "the names fill the list";

    // The list's changes reach the buttons through command 32777.
    f.ClickCell(kCheck, 2);
    EXPECT_TRUE(f.Layout()[2].bVisible);
    EXPECT_TRUE(f.Enabled(1015));
    EXPECT_FALSE(f.Enabled(1012));
}
