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
TableBuilder VariedTable(uint8_t nVersion = 0x30) {
    TableBuilder table(nVersion);
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
    f.Key(Qt::Key_Return);
    ASSERT_TRUE(f.grid().IsEditing());
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetTypeList());
    f.Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(f.grid().IsEditing());
    EXPECT_EQ(f.Field(kNameRow).type, 'N');
    EXPECT_EQ(f.Cell(kWidth, kNameRow), "20");
    EXPECT_EQ(f.Cell(kDecimals, kNameRow), "0");

    // Numeric(25,3) to Float keeps three decimals in twenty places; to
    // Logical it becomes Logical(1,0). Letters choose by their first letter.
    f.MoveTo(kType, kAmountRow);
    f.Type("F");
    EXPECT_EQ(f.Field(kAmountRow).type, 'F');
    EXPECT_EQ(f.Field(kAmountRow).width, 20);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 3);
    NextSearch();
    f.Type("L");
    EXPECT_EQ(f.Field(kAmountRow).type, 'L');
    EXPECT_EQ(f.Field(kAmountRow).width, 1);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 0);
    EXPECT_EQ(f.Cell(kDecimals, kAmountRow), "");

    // Leaving the cell commits the same choice again: nothing changes.
    f.Key(Qt::Key_Down);
    EXPECT_FALSE(f.grid().IsEditing());
    EXPECT_EQ(f.Field(kAmountRow).type, 'L');
}

TEST(StructureGrid, TypeRulesKeepWideFieldsAndCountDecimalsOnlyWhereTheyAre) {
    dbf::DBFFieldDesc desc{};
    desc.type = 'C';
    desc.width = 300 & 0xFF;
    desc.decimals = 300 >> 8;
    // Choosing Character again leaves a wide field as it is.
    dbf::DBFFieldDesc same = ApplyFieldType(desc, 59400);
    EXPECT_EQ(FieldDisplayWidth(same), 300);
    // Its high width byte is no count of decimals for a number.
    dbf::DBFFieldDesc number = ApplyFieldType(desc, 59401);
    EXPECT_EQ(number.width, 20);
    EXPECT_EQ(number.decimals, 0);

    // A numeric field of width 1 has no room for decimals, never 255 of them.
    dbf::DBFFieldDesc one{};
    one.type = 'L';
    one.width = 1;
    dbf::DBFFieldDesc fl = ApplyFieldType(one, 59402);
    EXPECT_EQ(fl.width, 1);
    EXPECT_EQ(fl.decimals, 0);
}

TEST(StructureGrid, TypedWidthsAreLimitedByType) {
    StructureDialog f(VariedTable());
    // Typing in the grid opens the spin and types the key into it.
    f.MoveTo(kWidth, kNameRow);
    f.Type("300");
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetSizeSpin());
    EXPECT_EQ(f.Input()->property("text").toString(), QStringLiteral("255"));
    f.Key(Qt::Key_Tab);
    EXPECT_FALSE(f.grid().IsEditing());
    EXPECT_EQ(FieldDisplayWidth(f.Field(kNameRow)), 255);
    EXPECT_EQ(f.Field(kNameRow).decimals, 0);
    EXPECT_EQ(f.Cell(kWidth, kNameRow), "255");

    f.MoveTo(kWidth, kNameRow);
    f.Type("0");
    f.Key(Qt::Key_Return);  // ends the edit and opens the cell again
    EXPECT_EQ(FieldDisplayWidth(f.Field(kNameRow)), 1);
    EXPECT_TRUE(f.grid().IsEditing());

    // Opening a wide field's width and leaving it keeps its 300 bytes.
    EXPECT_EQ(f.Cell(kWidth, kWideRow), "300");
    f.MoveTo(kWidth, kWideRow);
    f.Key(Qt::Key_Return);
    ASSERT_EQ(f.grid().GetCurrentEditor(), f.grid().GetSizeSpin());
    f.Key(Qt::Key_Up);
    EXPECT_EQ(FieldDisplayWidth(f.Field(kWideRow)), 300);

    // A numeric field: at most 20 places, its decimals following.
    f.MoveTo(kWidth, kAmountRow);
    f.Type("6");
    f.Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kAmountRow).width, 6);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 3);
    f.MoveTo(kWidth, kAmountRow);
    f.Type("2");
    f.Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kAmountRow).width, 2);
    EXPECT_EQ(f.Field(kAmountRow).decimals, 1);
}

TEST(StructureGrid, DecimalsStayBelowTheWidth) {
    StructureDialog f(VariedTable());
    f.MoveTo(kDecimals, kPriceRow);
    f.Type("12");
    f.Key(Qt::Key_Up);
    EXPECT_EQ(f.Field(kPriceRow).width, 10);
    EXPECT_EQ(f.Field(kPriceRow).decimals, 9);
    EXPECT_EQ(f.Cell(kDecimals, kPriceRow), "9");

    dbf::DBFFieldDesc price = f.Field(kPriceRow);
    price.type = 'B';
    EXPECT_EQ(ApplyFieldDecimals(price, 40).decimals, 18);
}

TEST(StructureGrid, FixedSizesHaveNoEditor) {
    StructureDialog f(VariedTable());
    const dbf::DBFFieldDesc born = f.Field(kBornRow);
    f.MoveTo(kWidth, kBornRow);
    f.Key(Qt::Key_Return);
    EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr);
    f.Type("5");
    EXPECT_EQ(f.Cell(kWidth, kBornRow), "8");
    EXPECT_EQ(std::memcmp(&born, &f.Field(kBornRow), sizeof born), 0);

    for (int nRow : {kCountRow, kStampRow, kFlagRow}) {
        f.MoveTo(kWidth, nRow);
        f.Key(Qt::Key_Return);
        EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr) << "row " << nRow;
    }
    f.MoveTo(kDecimals, kNameRow);
    f.Key(Qt::Key_Return);
    EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr) << "a character field has no decimals";
}

TEST(StructureGrid, ReadOnlyGridOffersNoEditor) {
    StructureDialog f(VariedTable(), true);
    f.MoveTo(kName, kNameRow);
    f.Key(Qt::Key_Return);
    f.Type("X");
    EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr);
    EXPECT_EQ(f.Field(kNameRow).GetName(), "NAME");
    for (int nId : {IDC_STRUCT_SAVE, IDC_STRUCT_UP, IDC_STRUCT_DOWN, IDC_STRUCT_DEL, IDC_STRUCT_ADD})
        EXPECT_FALSE(f.Button(nId)->isEnabled()) << nId;
    EXPECT_TRUE(f.Button(IDC_STRUCT_CLOSE)->isEnabled());
    EXPECT_TRUE(f.Button(IDC_STRUCT_PRINT)->isEnabled());
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
    f.Key(Qt::Key_Down);
    EXPECT_EQ(f.Field(1).type, 'T');

    StructureDialog vfp(VariedTable(0x30));
    ASSERT_EQ(vfp.grid().GetTypeList()->GetCount(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(vfp.grid().GetTypeList()->GetItemData(i), 59400 + i);
    EXPECT_EQ(vfp.grid().GetTypeList()->GetItemText(8), "Currency");
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
    f.Key(Qt::Key_PageDown);
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
    f.Type("A");
    EXPECT_EQ(f.grid().GetCurrentEditor(), nullptr);

    f.Click(IDC_STRUCT_ADD);
    EXPECT_EQ(f.Field(0).GetName(), "NEWFIELD");
    f.Click(IDC_STRUCT_SAVE);
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.result(), QDialog::Accepted);
}
