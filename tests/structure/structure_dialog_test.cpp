// The table-structure grid and dialog driven as a user drives them: keys
// typed into the grid, the type list, the width spin and the buttons, with
// the field list of the table definition checked after each step.
#include <QComboBox>

#include "grid/structure/structure_strings.h"
#include "platform/ui/message_box.h"
#include "tests/structure/structure_test_support.h"

using namespace structure_test;
using testing_support::TableBuilder;

namespace {

// A Visual FoxPro table with a field of each kind the rules tell apart.
TableBuilder VariedTable() {
    TableBuilder table(0x30);
    table.Field("NAME", 'C', 30)
        .Field("AMOUNT", 'N', 25, 3)
        .Field("BORN", 'D', 8)
        .Field("PRICE", 'N', 10, 2)
        .Field("COUNT", 'I', 4)
        .Field("STAMP", 'T', 8)
        .Field("WIDE", 'C', 300)
        .Field("FLAG", 'L', 1);
    return table;
}

enum VariedRow : int { kNameRow, kAmountRow, kBornRow, kPriceRow, kCountRow, kStampRow, kWideRow, kFlagRow };

// Waits long enough for the list's keyboard search to start afresh.
void NextSearch() { QTest::qWait(QApplication::keyboardInputInterval() + 50); }

}  // namespace

TEST(StructureGrid, ChosenTypeTakesEffectAtOnceWithinItsLimits) {
    StructureDialog f(VariedTable());
    // Character(30): Shift+Down in the open list chooses Numeric, which is
    // committed while the list is still open.
    f.MoveTo(kType, kNameRow);
    Key(Qt::Key_Return);
    ASSERT_TRUE(f.grid().IsEditing());
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetTypeList());
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(f.grid().IsEditing());
    EXPECT_EQ(f.Field(kNameRow).type, 'N');
    EXPECT_EQ(f.Cell(kWidth, kNameRow), "20");
    EXPECT_EQ(f.Cell(kDecimals, kNameRow), "0");

    // Numeric(25,3) to Float keeps three decimals in twenty places; to
    // Logical it becomes Logical(1,0). Letters choose by their first letter.
    f.MoveTo(kType, kAmountRow);
    Type("F");
    EXPECT_EQ(f.Field(kAmountRow).type, 'F');
    EXPECT_EQ(f.Field(kAmountRow).width, 20);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 3);
    NextSearch();
    Type("L");
    EXPECT_EQ(f.Field(kAmountRow).type, 'L');
    EXPECT_EQ(f.Field(kAmountRow).width, 1);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 0);
    EXPECT_EQ(f.Cell(kDecimals, kAmountRow), "");

    // Leaving the cell commits the same choice again: nothing changes.
    Key(Qt::Key_Down);
    EXPECT_FALSE(f.grid().IsEditing());
    EXPECT_EQ(f.Field(kAmountRow).type, 'L');
}

TEST(StructureGrid, TypeAndDecimalRulesOnDescriptors) {
    dbf::DBFFieldDesc wide{};  // Character(300): the high width byte is in the decimals
    wide.type = 'C';
    wide.width = 300 & 0xFF;
    wide.decimals = 300 >> 8;
    EXPECT_EQ(FieldDisplayWidth(ApplyFieldType(wide, 59400)), 300) << "Character again leaves it as it is";
    dbf::DBFFieldDesc number = ApplyFieldType(wide, 59401);
    EXPECT_EQ(number.width, 20);
    EXPECT_EQ(number.decimals, 0) << "the high width byte is no count of decimals";
    dbf::DBFFieldDesc one{};
    one.type = 'L';
    one.width = 1;
    EXPECT_EQ(ApplyFieldType(one, 59402).decimals, 0) << "Float(1) has no room for decimals, never 255";
    one.type = 'B';
    one.width = 10;
    EXPECT_EQ(ApplyFieldDecimals(one, 40).decimals, 18);
}

TEST(StructureGrid, TypedWidthsAreLimitedByType) {
    StructureDialog f(VariedTable());
    // Typing in the grid opens the spin and types the key into it.
    f.MoveTo(kWidth, kNameRow);
    Type("300");
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetSizeSpin());
    EXPECT_EQ(f.Input()->property("text").toString(), QStringLiteral("255"));
    Key(Qt::Key_Tab);
    EXPECT_FALSE(f.grid().IsEditing());
    EXPECT_EQ(FieldDisplayWidth(f.Field(kNameRow)), 255);
    EXPECT_EQ(f.Field(kNameRow).decimals, 0);
    EXPECT_EQ(f.Cell(kWidth, kNameRow), "255");

    f.MoveTo(kWidth, kNameRow);
    Type("0");
    Key(Qt::Key_Return);  // ends the edit and opens the cell again
    EXPECT_EQ(FieldDisplayWidth(f.Field(kNameRow)), 1);
    EXPECT_TRUE(f.grid().IsEditing());

    // Opening a wide field's width and leaving it keeps its 300 bytes.
    EXPECT_EQ(f.Cell(kWidth, kWideRow), "300");
    f.MoveTo(kWidth, kWideRow);
    Key(Qt::Key_Return);
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetSizeSpin());
    Key(Qt::Key_Up);
    EXPECT_EQ(FieldDisplayWidth(f.Field(kWideRow)), 300);

    // A numeric field: at most 20 places, its decimals following.
    f.MoveTo(kWidth, kAmountRow);
    Type("6");
    Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kAmountRow).width, 6);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 3);
    f.MoveTo(kWidth, kAmountRow);
    Type("2");
    Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kAmountRow).width, 2);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 1);
}

TEST(StructureGrid, DecimalsStayBelowTheWidth) {
    StructureDialog f(VariedTable());
    f.MoveTo(kDecimals, kPriceRow);
    Type("12");
    Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kPriceRow).width, 10);
    EXPECT_EQ(f.Field(kPriceRow).decimals, 9);
    EXPECT_EQ(f.Cell(kDecimals, kPriceRow), "9");
}

TEST(StructureGrid, FixedSizesAndReadOnlyTablesHaveNoEditor) {
    StructureDialog f(VariedTable());
    const dbf::DBFFieldDesc born = f.Field(kBornRow);
    for (auto [nCol, nRow] : {std::pair{kWidth, kBornRow}, {kWidth, kCountRow}, {kWidth, kStampRow},
                              {kWidth, kFlagRow}, {kDecimals, kNameRow}}) {
        f.MoveTo(nCol, nRow);
        Key(Qt::Key_Return);
        EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr) << "column " << nCol << " row " << nRow;
    }
    f.MoveTo(kWidth, kBornRow);
    Type("5");
    EXPECT_EQ(f.Cell(kWidth, kBornRow), "8");
    EXPECT_EQ(std::memcmp(&born, &f.Field(kBornRow), sizeof born), 0);

    StructureDialog readOnly(VariedTable(), true);
    readOnly.MoveTo(kName, kNameRow);
    Key(Qt::Key_Return);
    Type("X");
    EXPECT_EQ(readOnly.grid().GetCurrentEditor(), nullptr);
    EXPECT_EQ(readOnly.Field(kNameRow).GetName(), "NAME");
    for (int nId : {IDC_STRUCT_SAVE, IDC_STRUCT_UP, IDC_STRUCT_DOWN, IDC_STRUCT_DEL, IDC_STRUCT_ADD})
        EXPECT_FALSE(readOnly.Button(nId)->isEnabled()) << nId;
    EXPECT_TRUE(readOnly.Button(IDC_STRUCT_PRINT)->isEnabled());
}

TEST(StructureGrid, OnlyVisualFoxProTablesOfferItsTypes) {
    TableBuilder dBase(0x03);
    dBase.Field("NAME", 'C', 10).Field("STAMP", 'T', 8).Field("COUNT", 'I', 4);
    StructureDialog f(dBase);
    ASSERT_EQ(f.grid().GetTypeList()->GetCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(f.grid().GetTypeList()->GetItemData(i), 59400 + i);
    EXPECT_EQ(f.Cell(kType, 1), "DateTime") << "fields of other types keep their names";
    EXPECT_EQ(f.Cell(kType, 2), "Integer");

    // Opening the list on such a field (a double-click opens a cell too)
    // chooses nothing; leaving changes nothing.
    f.MoveTo(kType, 1);
    platform::Rect rc;
    f.grid().GetCellRect(f.grid().GetCurrentColumn(), f.grid().GetCurrentRow(), rc);
    QTest::mouseDClick(f.grid().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rc.left + 8, rc.top + 6));
    Settle();
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetTypeList());
    EXPECT_EQ(f.grid().GetTypeList()->GetCurSel(), -1);
    Key(Qt::Key_Down);
    EXPECT_EQ(f.Field(1).type, 'T');
}

TEST(StructureDialog, AddedFieldsGetFreeNamesAfterTheCurrentField) {
    TableBuilder table(0x30);
    table.Field("NEWFIELD", 'C', 5).Field("NEWFIELD1", 'C', 5).Field("LAST", 'N', 4);
    StructureDialog f(table);
    f.MoveTo(kType, 0);
    f.Click(IDC_STRUCT_ADD);
    ASSERT_EQ(f.tableDef.GetFieldCount(), 4);
    EXPECT_EQ(f.Field(1).GetName(), "NEWFIELD2");
    EXPECT_EQ(f.Field(1).type, 'C');
    EXPECT_EQ(FieldDisplayWidth(f.Field(1)), 20);
    EXPECT_EQ(f.grid().GetRowCount(), 4);
    EXPECT_EQ(f.Row(), 1);
    EXPECT_EQ(f.Col(), kType);
    EXPECT_EQ(f.Cell(kName, 2), "NEWFIELD1");

    // At the last field the new one is appended and becomes current.
    f.MoveTo(kName, 3);
    f.Click(IDC_STRUCT_ADD);
    EXPECT_EQ(f.Field(4).GetName(), "NEWFIELD3");
    EXPECT_EQ(f.Row(), 4);
    EXPECT_EQ(f.tableDef.GetFieldMap()[4], -1);
}

TEST(StructureDialog, NewFieldNamesStayUniqueWhenTheCounterOutgrowsTheName) {
    testing_support::TempDir dir;
    dbf::CDBFTableDef tableDef;
    ASSERT_TRUE(tableDef.CreateNew(dir.Path("new.dbf")));
    EXPECT_EQ(MakeNewFieldName(tableDef), "NEWFIELD");
    dbf::DBFFieldDesc desc{};
    desc.type = 'C';
    desc.width = 1;
    desc.SetName("NEWFIELD");
    tableDef.AppendField(desc);
    for (int i = 1; i < 100; ++i) {
        desc.SetName("NEWFIELD" + std::to_string(i));
        tableDef.AppendField(desc);
    }
    // NEWFIELD100 would be cut to NEWFIELD10, which exists.
    EXPECT_EQ(MakeNewFieldName(tableDef), "NEWFIEL100");
    tableDef.CancelStructure();
}

TEST(StructureDialog, ButtonsFollowTheStructureAndTheCurrentField) {
    StructureDialog f(VariedTable());
    f.MoveTo(kName, 0);
    EXPECT_FALSE(f.Button(IDC_STRUCT_UP)->isEnabled());
    EXPECT_TRUE(f.Button(IDC_STRUCT_DOWN)->isEnabled());
    EXPECT_TRUE(f.Button(IDC_STRUCT_DEL)->isEnabled());
    EXPECT_TRUE(f.Button(IDC_STRUCT_ADD)->isEnabled());
    Key(Qt::Key_PageDown);
    EXPECT_EQ(f.Row(), 7);
    EXPECT_TRUE(f.Button(IDC_STRUCT_UP)->isEnabled());
    EXPECT_FALSE(f.Button(IDC_STRUCT_DOWN)->isEnabled());

    // At 255 fields nothing more can be added.
    TableBuilder full(0x30);
    for (int i = 0; i < 255; ++i)
        full.Field("F" + std::to_string(i), 'C', 1);
    StructureDialog g(full);
    EXPECT_FALSE(g.Button(IDC_STRUCT_ADD)->isEnabled());
    g.Click(IDC_STRUCT_DEL);
    EXPECT_EQ(g.tableDef.GetFieldCount(), 254);
    EXPECT_TRUE(g.Button(IDC_STRUCT_ADD)->isEnabled());
}

TEST(StructureDialog, SavingWithoutFieldsIsRefused) {
    TableBuilder table(0x03);
    table.Field("ONLY", 'C', 4).Record({"abcd"});
    StructureDialog f(table);
    f.MoveTo(kName, 0);
    f.Click(IDC_STRUCT_DEL);
    EXPECT_EQ(f.tableDef.GetFieldCount(), 0);
    EXPECT_FALSE(f.Button(IDC_STRUCT_DEL)->isEnabled());
    EXPECT_FALSE(f.Button(IDC_STRUCT_DOWN)->isEnabled());
    {
        platform::CScopedMessageBoxHook hook;
        f.Click(IDC_STRUCT_SAVE);
        ASSERT_EQ(hook.GetRequests().size(), 1u);
        EXPECT_EQ(hook.GetRequests()[0].strText, QStringLiteral("More than one column should be reflect.\n"));
        EXPECT_EQ(hook.GetRequests()[0].nStringId, 59399u);
    }
    EXPECT_TRUE(f.dialog.isVisible());
    // Typing into an empty grid opens nothing.
    f.grid().setFocus();
    Type("A");
    EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr);

    f.Click(IDC_STRUCT_ADD);
    EXPECT_EQ(f.Field(0).GetName(), "NEWFIELD");
    f.Click(IDC_STRUCT_SAVE);
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.result(), QDialog::Accepted);
}
