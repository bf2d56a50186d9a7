// The corpus' *_summary.txt files: the field list and record count of a
// table as another DBF library read it, used as expected values.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct SummaryField {
    std::string strName;
    std::string strType;
    int nWidth = 0;
    int nDecimals = 0;
};

struct CorpusSummary {
    int nRecords = -1;
    std::vector<SummaryField> fields;
};

// Reads "<corpus>/<strTable>_summary.txt" (strTable without ".dbf"); an empty
// summary (no fields, nRecords -1) when the file is missing.
CorpusSummary ReadCorpusSummary(const std::string& strTable);

}  // namespace testing_support
