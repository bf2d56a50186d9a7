// Tables built for Tabulon's tests, and what python3-dbfread reads of them.
#include "tests/editor/editor_test_support.h"

#include <cstdio>

#include "engine/typed_value.h"
#include "engine/memory_cursorset.h"

namespace editor_test {

std::string MakeTable(const std::string& strPath, uint8_t nVersion, const std::vector<FieldSpec>& fields,
                      const std::vector<std::vector<std::string>>& rows, const std::vector<int>& deleted) {
    {
        dbf::CDBFTableDef def;
        EXPECT_TRUE(def.CreateNew(strPath));
        dbf::DBFHeader header = def.GetHeader();
        header.version = nVersion;
        def.SetHeader(header);
        for (const FieldSpec& spec : fields) {
            dbf::DBFFieldDesc desc{};
            std::snprintf(desc.name, sizeof desc.name, "%s", spec.pszName);
            desc.type = spec.cType;
            desc.width = spec.nWidth;
            desc.decimals = spec.nDecimals;
            def.AppendField(desc);
        }
        def.WriteStructure();
    }
    dbf::CDBFMemoryCursorset table;
    table.Open(strPath, 66);
    for (const std::vector<std::string>& row : rows) {
        table.AddNew();
        for (size_t i = 0; i < row.size() && i < fields.size(); ++i) {
            if (row[i].empty())
                continue;
            dbf::TypedValue typed = dbf::ValueFromTypedText(table.GetFieldList().m_pDesc[i], row[i]);
            EXPECT_FALSE(typed.IsRefused()) << row[i];
            table.SetFieldValue(int(i), typed.value);
        }
        table.Update();
    }
    for (int nRow : deleted) {
        table.SetAbsolutePosition(nRow);
        table.Delete();
    }
    table.Save();
    table.Close();
    return strPath;
}

std::string ReadWithDbfread(const std::string& strPath) {
    const char* pszScript =
        "import sys\n"
        "try:\n"
        "    import dbfread\n"
        "except ImportError:\n"
        "    print('SKIP'); sys.exit(0)\n"
        "for r in dbfread.DBF(sys.argv[1], char_decode_errors='replace'):\n"
        "    print('|'.join(repr(v) for v in r.values()))\n";
    auto result = testing_support::RunCommand("/usr/bin/python3", {"-c", pszScript, strPath});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    return result.strOut;
}

}  // namespace editor_test
