// Find and Replace in Tabulon's own windows on a big table: Find through the
// whole table without a match (every visible column, for letters and for
// digits, and one column), and
// Replace all of one value in one column, each beside a baseline measured in
// the same run: a plain case-sensitive search for the same text through the
// records' bytes in memory (and, for Replace all, a plain copy of the new
// value into each matching record).
//
// The table is the generated customer table (samples/table_generator.h):
// 1,000,000 records of 90 bytes by default, TABULON_BENCH_RECORDS=N for
// another size, written once into a temporary folder and opened in the
// program started in this process on the offscreen platform
// (bench::GeneratedTable). The dialogs are the real ones, driven as the
// tests drive them.
//
// Each benchmark reports the median of its iterations ("ms"), the median of
// its baseline run five times after it ("baseline_ms") and their ratio
// ("x_baseline").
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/find_dlg.h"
#include "editor/tabulon_app.h"
#include "engine/memory_cursorset.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "samples/table_generator.h"

using bench::Clock;
using bench::Milliseconds;
using bench::Report;

namespace {

// The program with the generated table open, made once per run.
struct BenchProgram {
    std::unique_ptr<CTabulonApp> pApp;
    CDBFDoc* pDoc = nullptr;
    CDBFView* pView = nullptr;

    BenchProgram() {
        const bench::BenchTable& table = bench::GeneratedTable();
        pApp = std::make_unique<CTabulonApp>();
        pApp->SetProgramSettingsPath(table.Path("tabulon.ini"));
        if (!pApp->InitInstance(CTabulonApp::CommandLine{}, true))
            std::abort();
        pDoc = dynamic_cast<CDBFDoc*>(pApp->OpenDocumentFile(table.strPath));
        pView = dynamic_cast<CDBFView*>(pApp->GetMainWnd()->GetActiveView());
        if (!pDoc || !pView)
            std::abort();
        QCoreApplication::processEvents();
    }
    ~BenchProgram() {
        platform::CScopedMessageBoxHook no([](const platform::MessageBoxRequest&) { return platform::IDNO; });
        pApp->GetMainWnd()->CloseFrame();
        pApp.reset();
    }
};

// Made in main, while the application exists, and gone before it.
std::unique_ptr<BenchProgram> g_pProgram;

BenchProgram& Program() { return *g_pProgram; }

// The baseline: the text searched for, as it is, in every record's bytes;
// pfnEach runs on each record that holds it.
int PlainSearch(const std::string& strText, const std::function<void(uint8_t*)>& fnEach = nullptr) {
    dbf::CDBFMemoryCursorset& table = Program().pDoc->m_table;
    const size_t nLength = table.GetTableDef()->GetRecordLength();
    int nFound = 0;
    for (int32_t i = 0, n = table.GetRecordCount(); i < n; ++i) {
        uint8_t* pRecord = table.GetRecord(i);
        if (memmem(pRecord, nLength, strText.data(), strText.size())) {
            ++nFound;
            if (fnEach)
                fnEach(pRecord);
        }
    }
    benchmark::DoNotOptimize(nFound);
    return nFound;
}

void SetText(platform::CDialog& dlg, int nId, const char* pszText) {
    dlg.GetDlgItem<QComboBox>(nId)->lineEdit()->setText(QString::fromLatin1(pszText));
}

void ChooseField(platform::CDialog& dlg, const char* pszPrefix) {
    QComboBox* pField = dlg.GetDlgItem<QComboBox>(IDC_FIND_FIELD);
    for (int i = 0; i < pField->count(); ++i)
        if (pField->itemText(i).startsWith(QString::fromLatin1(pszPrefix)))
            pField->setCurrentIndex(i);
}

template <class Dialog>
Dialog* OpenDialog(unsigned nCommand) {
    BenchProgram& program = Program();
    program.pApp->GetMainWnd()->ExecuteCommand(nCommand);
    QCoreApplication::processEvents();
    QDialog* pDialog = nCommand == platform::ID_EDIT_FIND ? program.pView->m_pFindDlg.data()
                                                          : program.pView->m_pReplaceDlg.data();
    auto* pTyped = qobject_cast<Dialog*>(pDialog);
    if (!pTyped)
        std::abort();
    return pTyped;
}

// Find without a match: the whole table, then the not-found message.
void FindWithoutMatch(benchmark::State& state, const char* pszField, const char* pszText = "no such text") {
    CFindDlg* pDlg = OpenDialog<CFindDlg>(platform::ID_EDIT_FIND);
    SetText(*pDlg, IDC_FIND_WHAT, pszText);
    ChooseField(*pDlg, pszField);
    platform::CScopedMessageBoxHook boxes;
    std::vector<double> times;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (pDlg->FindNext())
            state.SkipWithError("found a match");
        times.push_back(Milliseconds(start));
    }
    Report(state, times, [pszText] { PlainSearch(pszText); });
    pDlg->close();
    QCoreApplication::processEvents();
}

void BM_FindAllColumnsNoMatch(benchmark::State& state) { FindWithoutMatch(state, "*"); }
void BM_FindOneColumnNoMatch(benchmark::State& state) { FindWithoutMatch(state, "CITY"); }
// Digits could be in any number or date: every cell's text is made.
void BM_FindAllColumnsDigitsNoMatch(benchmark::State& state) { FindWithoutMatch(state, "*", "999999999"); }

// Replace all of one town in CITY by another, and back on the next round,
// so that every round replaces as many cells.
void BM_ReplaceAllOneColumn(benchmark::State& state) {
    CReplaceDlg* pDlg = OpenDialog<CReplaceDlg>(platform::ID_EDIT_REPLACE);
    ChooseField(*pDlg, "CITY");
    platform::CScopedMessageBoxHook boxes;
    std::vector<double> times;
    int nReplaced = 0;
    bool bForth = true;
    for (auto _ : state) {
        SetText(*pDlg, IDC_FIND_WHAT, bForth ? "Hamburg" : "Bremen");
        SetText(*pDlg, IDC_REPLACE_WITH, bForth ? "Bremen" : "Hamburg");
        const Clock::time_point start = Clock::now();
        nReplaced = pDlg->ReplaceAll();
        times.push_back(Milliseconds(start));
        bForth = !bForth;
    }
    if (nReplaced <= 0)
        state.SkipWithError("nothing replaced");
    state.counters["cells"] = nReplaced;
    Report(state, times, [] {
        const uint32_t nCity = Program().pDoc->m_table.GetFieldList().m_pDesc[1].GetDisplacement();
        PlainSearch("Hamburg", [nCity](uint8_t* pRecord) { std::memcpy(pRecord + nCity, "Hamburg", 7); });
    });
    pDlg->close();
    QCoreApplication::processEvents();
}

BENCHMARK(BM_FindAllColumnsNoMatch)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindAllColumnsDigitsNoMatch)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindOneColumnNoMatch)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAllOneColumn)->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

int main(int argc, char** argv) {
    // The windows are real but need no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_pProgram = std::make_unique<BenchProgram>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_pProgram.reset();
    return 0;
}
