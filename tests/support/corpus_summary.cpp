// Parser of the corpus' table summaries.
#include "tests/support/corpus_summary.h"

#include <fstream>
#include <sstream>

#include "tests/support/test_support.h"

namespace testing_support {

CorpusSummary ReadCorpusSummary(const std::string& strTable) {
    CorpusSummary summary;
    std::ifstream in(CorpusFile(strTable + "_summary.txt"));
    std::string strLine;
    bool bFields = false;
    while (std::getline(in, strLine)) {
        if (strLine.rfind("Records:", 0) == 0) {
            summary.nRecords = std::stoi(strLine.substr(8));
        } else if (strLine.rfind("-----", 0) == 0) {
            bFields = true;
        } else if (bFields) {
            std::istringstream fields(strLine);
            SummaryField field;
            if (fields >> field.strName >> field.strType >> field.nWidth >> field.nDecimals)
                summary.fields.push_back(field);
        }
    }
    return summary;
}

}  // namespace testing_support
