// The reader's tests: a fixture that writes a table built with the shared
// table builder, opens it, and records every message the reader shows.
#pragma once

#include <string>
#include <vector>

#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"
#include "viewer/reader/dbf_file_reader.h"

namespace reader_test {

using namespace testing_support;

struct ReportedError {
    unsigned nId;
    std::string strText;
};

class CRecordingSink : public CReaderErrorSink {
public:
    void ShowError(unsigned nMessageId, const std::string& strText) override { errors.push_back({nMessageId, strText}); }
    std::vector<ReportedError> errors;
};

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() { reader.SetErrorSink(&sink); }
    // Opens a file, forgetting the messages of earlier opens.
    bool Open(const std::string& strPath) {
        sink.errors.clear();
        return reader.Open(strPath);
    }
    // Writes the table as dir/strName, then opens it.
    bool Open(const TableBuilder& table, const std::string& strName = "t.dbf") {
        return Open(table.Write(dir.Path(strName)));
    }
    // The text of a cell; *pShown is whether it is a value rather than a
    // placeholder, *pLogical goes in as given and comes out as the reader sets it.
    std::string Text(int nField, int32_t nRecord, bool* pShown = nullptr, bool* pLogical = nullptr) {
        std::string str;
        bool bLogical = pLogical && *pLogical, bShown = reader.GetFieldText(nField, nRecord, str, bLogical);
        if (pShown) *pShown = bShown;
        if (pLogical) *pLogical = bLogical;
        return str;
    }

    TempDir dir;
    CRecordingSink sink;
    CDBFFileReader reader;
};

}  // namespace reader_test
