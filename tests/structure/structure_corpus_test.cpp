// A real Visual FoxPro table with memo fields, restructured through the
// dialog as a user would (typed names and widths, a type chosen from the
// list, fields added, deleted and moved), written, and read back: every
// record keeps its values in the fields they moved to.
#include <map>

#include "engine/file_cursor.h"
#include "platform/core/user_locale.h"
#include "tests/structure/structure_test_support.h"

using namespace structure_test;
using testing_support::CorpusFile;

namespace {

int RowOf(dbf::CDBFTableDef& tableDef, const std::string& strName) {
    int nIndex = tableDef.GetFieldList().FindField(strName);
    EXPECT_GE(nIndex, 0) << strName;
    return nIndex;
}

// A field as the test expects to find it, and the old field it came from.
struct Expected {
    std::string strName;
    char cType;
    int nWidth;
    int nDecimals;
    std::string strFrom;  // "" for a new field
};

}  // namespace

TEST(StructureCorpus, VisualFoxProTableRestructuredThroughTheDialog) {
    REQUIRE_CORPUS();
    StructureDialog f;
    testing_support::TempDir orig;
    // dbase_30: 34 records, 145 fields of six types, memos in an .FPT file.
    std::string strOriginal = orig.CopyIn(CorpusFile("dbase_30.dbf"), "t.dbf");
    orig.CopyIn(CorpusFile("dbase_30.fpt"), "t.fpt");
    f.strPath = f.dir.CopyIn(strOriginal, "t.dbf");
    f.dir.CopyIn(orig.Path("t.fpt"), "t.fpt");
    OpenForEdit(f.tableDef, f.strPath);
    f.Show(false);

    std::vector<Expected> expected;
    for (int i = 0; i < f.tableDef.GetFieldCount(); ++i) {
        dbf::DBFFieldInfo info = f.tableDef.GetFieldInfo(i);
        expected.push_back(Expected{info.strName, info.cType, info.nWidth, info.nDecimals, info.strName});
    }
    auto at = [&](const std::string& strName) -> size_t {
        for (size_t i = 0; i < expected.size(); ++i)
            if (expected[i].strName == strName)
                return i;
        ADD_FAILURE() << strName;
        return 0;
    };
    ASSERT_EQ(f.grid().GetTypeList()->GetCount(), 9) << "a Visual FoxPro table offers nine types";

    // A new name typed over the old one: ten characters are taken.
    f.MoveTo(kName, 0);
    Type("ACCESSNUMBER");
    Key(Qt::Key_Tab);
    expected[0].strName = "ACCESSNUMB";

    // Numeric(12,2) made (15,4).
    int nRow = RowOf(f.tableDef, "ACQVALUE");
    f.MoveTo(kWidth, nRow);
    Type("15");
    Key(Qt::Key_Tab);
    Type("4");
    Key(Qt::Key_Up);
    expected[at("ACQVALUE")].nWidth = 15;
    expected[at("ACQVALUE")].nDecimals = 4;

    // Numeric(7,0) chosen as Float in the list.
    nRow = RowOf(f.tableDef, "EXHIBITNO");
    f.MoveTo(kType, nRow);
    Key(Qt::Key_Return);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down);
    expected[at("EXHIBITNO")].cType = 'F';

    // A character field widened.
    nRow = RowOf(f.tableDef, "CAPTION");
    f.MoveTo(kWidth, nRow);
    Type("60");
    Key(Qt::Key_Down);
    expected[at("CAPTION")].nWidth = 60;

    // A memo field deleted.
    nRow = RowOf(f.tableDef, "DIMNOTES");
    f.MoveTo(kName, nRow);
    f.Click(IDC_STRUCT_DEL);
    expected.erase(expected.begin() + static_cast<long>(at("DIMNOTES")));

    // A field moved up, and a new one added after it, named and sized.
    nRow = RowOf(f.tableDef, "CAT");
    f.MoveTo(kName, nRow);
    f.Click(IDC_STRUCT_UP);
    std::swap(expected[size_t(nRow)], expected[size_t(nRow - 1)]);
    f.Click(IDC_STRUCT_ADD);
    ASSERT_EQ(f.Row(), nRow);
    f.MoveTo(kName, nRow);
    Type("REMARK");
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Type("12");
    Key(Qt::Key_Up);
    expected.insert(expected.begin() + nRow, Expected{"REMARK", 'C', 12, 0, ""});

    f.Click(IDC_STRUCT_SAVE);
    ASSERT_EQ(f.dialog.result(), QDialog::Accepted);
    f.tableDef.WriteStructure();
    f.tableDef.Close();
    EXPECT_EQ(testing_support::ReadFileBytes(f.dir.Path("t.bak")), testing_support::ReadFileBytes(strOriginal))
        << "the previous table is kept as it was";

    dbf::CDBFFileCursor before, after;
    before.Open(strOriginal, platform::modeRead | platform::shareDenyNone);
    after.Open(f.strPath, platform::modeRead | platform::shareDenyNone);
    ASSERT_TRUE(after.IsOpen());
    ASSERT_EQ(after.GetFieldCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < after.GetFieldCount(); ++i) {
        dbf::DBFFieldInfo info = after.GetTableDef()->GetFieldInfo(i);
        EXPECT_EQ(info.strName, expected[size_t(i)].strName) << i;
        EXPECT_EQ(info.cType, expected[size_t(i)].cType) << info.strName;
        EXPECT_EQ(info.nWidth, expected[size_t(i)].nWidth) << info.strName;
        EXPECT_EQ(info.nDecimals, expected[size_t(i)].nDecimals) << info.strName;
    }
    EXPECT_EQ(after.GetTableDef()->GetHeader().version, 0x30);
    ASSERT_EQ(after.GetRecordCount(), 34);
    ASSERT_EQ(before.GetRecordCount(), 34);

    platform::CScopedUserLocale locale(platform::CUserLocale::FromName("C"));
    int nCompared = 0, nWithText = 0;
    for (int32_t nRecord = 0; nRecord < 34; ++nRecord) {
        before.SetAbsolutePosition(nRecord);
        after.SetAbsolutePosition(nRecord);
        for (int i = 0; i < after.GetFieldCount(); ++i) {
            const Expected& field = expected[size_t(i)];
            dbf::FieldValue value = after.GetFieldValue(i);
            if (field.strFrom.empty()) {
                EXPECT_EQ(value.ToText(), "") << field.strName;
                continue;
            }
            dbf::FieldValue old = before.GetFieldValue(field.strFrom);
            if (field.cType == 'N' || field.cType == 'F') {
                EXPECT_DOUBLE_EQ(value.CoercedTo(dbf::FieldKind::Double).GetDouble(),
                                 old.CoercedTo(dbf::FieldKind::Double).GetDouble())
                    << field.strName << " record " << nRecord;
            } else {
                EXPECT_EQ(value.ToText(), old.ToText()) << field.strName << " record " << nRecord;
            }
            ++nCompared;
            if (!old.ToText().empty())
                ++nWithText;
        }
    }
    EXPECT_EQ(nCompared, 34 * 144);
    EXPECT_GT(nWithText, 2000) << "most of what was compared had a value";
}
