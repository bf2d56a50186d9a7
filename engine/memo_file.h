// Memo files: the text of memo fields lives in a file beside the table, and
// the record holds only a block number. CMemoFile is the common interface of
// the four memo layouts and itself implements the dBASE III .DBT layout;
// CDBTMemoFile (dBASE IV .DBT), CSMTMemoFile (.SMT) and CFPTMemoFile
// (.FPT/.DCT) derive from it.
//
// Block numbers count blocks of the file's block size from the start of the
// file (block 0 holds the header); a reference of 0 means "no memo". Every
// length and block number read from the file is checked against the file's
// length before it is used, whatever the layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/file.h"

namespace dbf {

enum MemoType : int {
    memoDBase3 = 1,
    memoDBase4 = 3,
    memoFoxPro = 4,
    memoSmt = 16,
};

class CMemoFile {
public:
    CMemoFile();
    virtual ~CMemoFile();
    CMemoFile(const CMemoFile&) = delete;
    CMemoFile& operator=(const CMemoFile&) = delete;

    // Opens and validates the memo file; the binary flag is added here. Does
    // nothing when already open. Raises 3010 (cannot open), 3011 (header
    // unreadable) or 3012 (bad block size).
    virtual void Open(const std::string& strPath, unsigned nOpenFlags);
    virtual bool IsOpen() const { return m_bOpen; }
    virtual int GetMemoType() const { return memoDBase3; }

    // Reads the memo at nBlock. For .SMT, nLength is the stored length on
    // input; for the other layouts it is output only. Raises 3013.
    virtual void ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes);
    virtual void ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText);
    // Writes strText as the memo that was at nBlock (0: none yet) and returns
    // its block in nBlock (0 when the text is empty). For .SMT, nLength is the
    // old stored length on input and the new length on output. Raises 3014 on
    // a file error that is not swallowed by the layout's own rules.
    virtual void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText);

    // Closes the file when open and forgets the header.
    virtual void Close();

    const std::string& GetFilePath() const { return m_file.GetFilePath(); }
    uint32_t GetBlockSize() const { return m_nBlockSize; }

protected:
    platform::CFile m_file;
    bool m_bOpen = false;
    uint32_t m_nBlockSize = 0;

private:
    std::unique_ptr<uint8_t[]> m_pHeader;  // the first 22 bytes (dBASE III layout)
};

}  // namespace dbf
