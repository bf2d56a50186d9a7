// What the printing tests read back from the PDF files they print into:
// pages and page size through pdfinfo, a page's text through pdftotext
// (both from poppler-utils), and a print dialog answered with a PDF file.
#pragma once

#include <cstdio>
#include <memory>
#include <regex>
#include <string>

#include <QPrinter>

#include "platform/ui/print_job.h"

namespace pdf_test {

// The output of a command, or "" when it cannot run.
inline std::string RunCommand(const std::string& strCommand) {
    std::string strOut;
    std::unique_ptr<FILE, int (*)(FILE*)> pPipe(popen(strCommand.c_str(), "r"), pclose);
    if (!pPipe)
        return strOut;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pPipe.get())) > 0)
        strOut.append(buffer, n);
    return strOut;
}

inline bool HavePdfTools() { return RunCommand("pdfinfo -v 2>&1").find("pdfinfo") != std::string::npos; }

struct PdfInfo {
    int nPages = 0;
    double dWidth = 0;  // points
    double dHeight = 0;
    bool IsLandscape() const { return dWidth > dHeight; }
};

// What pdfinfo reads from a PDF.
inline PdfInfo ReadPdfInfo(const std::string& strPath) {
    PdfInfo info;
    std::string strOut = RunCommand("pdfinfo '" + strPath + "' 2>/dev/null");
    std::smatch match;
    if (std::regex_search(strOut, match, std::regex(R"(Pages:\s+(\d+))")))
        info.nPages = std::stoi(match[1]);
    if (std::regex_search(strOut, match, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
        info.dWidth = std::stod(match[1]);
        info.dHeight = std::stod(match[2]);
    }
    return info;
}

// The text of one page.
inline std::string PageText(const std::string& strPath, int nPage) {
    std::string strPage = std::to_string(nPage);
    return RunCommand("pdftotext -layout -f " + strPage + " -l " + strPage + " '" + strPath + "' - 2>/dev/null");
}

// Answers the print dialog with a PDF file and, when given, a page range;
// keeps what the dialog was offered.
struct PrintToPdf {
    explicit PrintToPdf(const std::string& strFile, int nFrom = 0, int nTo = 0)
        : hook([this, strFile, nFrom, nTo](QPrinter& printer, platform::CPrintInfo& info) {
              offered = info;
              printer.setOutputFormat(QPrinter::PdfFormat);
              printer.setOutputFileName(QString::fromStdString(strFile));
              if (nFrom > 0) {
                  info.m_nFromPage = nFrom;
                  info.m_nToPage = nTo;
              }
              return true;
          }) {}
    platform::CPrintInfo offered;
    platform::CScopedPrintDialogHook hook;
};

}  // namespace pdf_test
