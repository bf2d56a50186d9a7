// Peekrow's own read-only table reader: it opens a .dbf file shared, reads
// the header and field descriptors, reads one record at a time on demand,
// finds and reads the memo file, and turns any field into display text. It
// never writes, and it never trusts a length or offset it read from a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dbf_format.h"
#include "platform/core/file.h"

// The reader's string ids (registered with the string table by the reader).
enum ReaderStringId : unsigned {
    idsReaderErrorCaption = 32800,  // "Error"
    idsCantOpenFile = 32801,        // "Can't open file:\n%s"
    idsCantFindFile = 32802,        // "Can't find file:\n%s"
    idsDbfHeadReadError = 32803,    // "DBF head read error !"
    idsMemoHeadReadError = 32804,   // "Memo head read error !"
    idsMemoReadError = 32805,       // "Memo read error !"
    idsDatePattern = 32825,         // "%m/%d/%Y"
    idsDateTimePattern = 32826,     // "%m/%d/%Y  %H:%M:%S"
};

// The message id given with a platform file error, whose text comes from the
// file layer rather than from the string table.
constexpr unsigned kReaderFileErrorId = 0;

// Makes the reader's strings known to the string table; the reader calls it
// itself, the viewer's windows may call it to find the caption.
void RegisterReaderStrings();

// Where the reader's errors go. The viewer's windows show them in a message
// box with the caption of idsReaderErrorCaption; tests record them.
class CReaderErrorSink {
public:
    virtual ~CReaderErrorSink() = default;
    // nMessageId is the string id of the message (kReaderFileErrorId for a
    // platform file error); strText is the finished text.
    virtual void ShowError(unsigned nMessageId, const std::string& strText) = 0;
};

// One entry of the reader's field list: the displacement the reader computed
// and the descriptor exactly as read.
struct ReaderField {
    uint32_t nDisplacement = 0;
    dbf::DBFFieldDesc desc{};

    std::string GetName() const { return desc.GetName(); }
    char GetType() const { return desc.type; }
    // Byte 16 alone for B F I N Y, bytes 16-17 for every other letter.
    uint16_t GetWidth() const { return desc.GetLayoutWidth(); }
    // Byte 17 for B F I N Y, 0 for the rest (where byte 17 is part of the width).
    uint8_t GetDecimals() const;
};

// The day of a D or T field: its Julian day number (the count T fields store)
// and, for T, the milliseconds into that day; a time of day past midnight has
// carried into the following days, as the display text shows it.
struct ReaderDate {
    int32_t nJulianDay = 0;
    uint32_t nMilliseconds = 0;
};

class CDBFFileReader {
public:
    enum class MemoKind { none, foxPro, dBase };

    CDBFFileReader();
    ~CDBFFileReader();
    CDBFFileReader(const CDBFFileReader&) = delete;
    CDBFFileReader& operator=(const CDBFFileReader&) = delete;

    // Errors go nowhere until a sink is set. The sink is not owned.
    void SetErrorSink(CReaderErrorSink* pSink) { m_pErrorSink = pSink; }

    // Opens a table read only and shared. True when the table could be read;
    // memo problems are reported but do not make it fail.
    bool Open(const std::string& strPath);
    // Closes the table and memo files, whichever are open.
    void Close();
    bool IsOpen() const { return m_bOpen; }
    const std::string& GetFilePath() const { return m_strPath; }

    const dbf::DBFHeader& GetHeader() const { return m_header; }
    // The header's record count; a negative count (a damaged header) gives 0.
    int32_t GetRecordCount() const;
    // How many of those records the file holds, a cut last one included (a
    // damaged header may count far more than the file has).
    int32_t GetRecordsInFile() const;
    uint8_t GetCodePageMark() const { return m_header.codePageMark; }
    uint16_t GetRecordLength() const { return m_header.GetRecordLength(); }

    int GetFieldCount() const { return int(m_fields.size()); }
    // Field entry i (0-based); i must be below GetFieldCount().
    const ReaderField& GetField(int i) const { return m_fields[size_t(i)]; }

    // The record buffer holding record n (1-based). It is GetRecordLength()
    // bytes long, and never shorter than one byte. A record that cannot be
    // read (past the end of the file, or a file error) comes back as zero
    // bytes beyond what the file held.
    const uint8_t* ReadRecord(int32_t nRecord);

    // While one of these exists, records are read from the file in pieces of
    // many records, forwards (or backwards) from the one asked for, rather
    // than one by one: a search walking a million records then makes a
    // thousand reads instead of a million. The pieces go with it, so the
    // windows go on reading the file as it is now.
    class CReadAhead {
    public:
        CReadAhead(CDBFFileReader& reader, bool bBackward);
        ~CReadAhead();
        CReadAhead(const CReadAhead&) = delete;
        CReadAhead& operator=(const CReadAhead&) = delete;

    private:
        CDBFFileReader& m_reader;
    };

    // The text of a memo block, or nullptr when there is none. The text stays
    // valid until the next GetMemo, Open or Close.
    const std::string* GetMemo(uint32_t nBlock);

    // Fills strText with the display text of field nField of record nRecord
    // and bLogical with the value of a logical field. Returns false only when
    // a memo or general field shows its placeholder word instead of its text.
    bool GetFieldText(int nField, int32_t nRecord, std::string& strText, bool& bLogical);
    // Whether GetFieldText would fill strText with any text, without copying
    // a memo's text.
    bool HasFieldText(int nField, int32_t nRecord);

    // Typed values of field nField of record nRecord, for searching. Each
    // reads the bytes the display text reads, with the same checks, and is
    // false when the text would show no value: a field that does not fit the
    // record, a blank or unreadable number, a date that is no calendar day.
    //
    // B F I N Y: the number the cell shows (N and F from their digits, Y
    // scaled by its decimal count). False for every other type.
    bool GetFieldNumber(int nField, int32_t nRecord, double& dValue);
    // D and T: the day the cell shows. False for every other type.
    bool GetFieldDate(int nField, int32_t nRecord, ReaderDate& date);
    // The first byte of the field as stored (a logical field's letter), of
    // any type; false when the field has no byte in the record.
    bool GetFieldByte(int nField, int32_t nRecord, uint8_t& nByte);

    // Formats the message of string nMessageId with strArg in place of "%s"
    // and hands it to the error sink.
    void ShowError(unsigned nMessageId, const std::string& strArg = std::string());

    MemoKind GetMemoKind() const { return m_memoKind; }
    uint16_t GetMemoBlockSize() const { return m_nMemoBlockSize; }
    const std::string& GetMemoPath() const { return m_memoFile.GetFilePath(); }

private:
    void ShowFileError(const platform::CFileException& e);
    void ShowRecordError(const std::string& strText);
    void ShowMemoError(unsigned nMessageId);
    bool ReadFieldList();
    void FindMemoFile();
    void OpenFoxProMemo(const std::string& strPath);
    void OpenDBaseMemo(const std::string& strPath);
    bool ReadFoxProMemo(uint32_t nBlock);
    bool ReadDBaseMemo(uint32_t nBlock);
    bool ReadDBase3Text(uint64_t nPos, uint64_t nFileLength);
    // The text of the memo a memo or general field refers to, or nullptr
    // with pszPlaceholder the word shown instead.
    const std::string* FieldMemo(const ReaderField& field, const uint8_t* pField, const char*& pszPlaceholder);
    bool MemoText(const ReaderField& field, const uint8_t* pField, std::string& strText);
    // Fills the record buffer with record nRecord from the read-ahead piece,
    // reading a new piece when it lies outside; false when the piece cannot
    // be read (the single read then reports why).
    bool ReadAheadRecord(int32_t nRecord, size_t nLength);
    // The bytes of a field of a record (its width is the field's), or nullptr
    // when the table is not open, the index is outside the field list, or the
    // field does not lie wholly inside what the file held of the record.
    const uint8_t* FieldBytes(int nField, int32_t nRecord);

    CReaderErrorSink* m_pErrorSink = nullptr;
    std::string m_strPath;
    platform::CFile m_file;
    platform::CFile m_memoFile;
    MemoKind m_memoKind = MemoKind::none;
    dbf::DBFHeader m_header{};
    std::vector<ReaderField> m_fields;

    std::vector<uint8_t> m_record;  // GetRecordLength() bytes, at least one
    int64_t m_nRecord = -1;          // record now in the buffer, or -1
    size_t m_nRecordBytes = 0;       // how many bytes of it the file held

    uint16_t m_nMemoBlockSize = 0;
    std::string m_strMemo;
    int64_t m_nMemoBlock = -1;  // memo block now in m_strMemo, or -1

    // The read-ahead piece: records m_nAheadFirst and on, m_nAheadBytes of
    // them held; nothing while m_nAheadUsers is 0.
    int m_nAheadUsers = 0;
    bool m_bAheadBackward = false;
    std::vector<uint8_t> m_ahead;
    int64_t m_nAheadFirst = 0;
    int64_t m_nAheadCount = 0;
    size_t m_nAheadBytes = 0;

    bool m_bOpen = false;
    // Errors met while reading records or memos are shown once per open: a
    // damaged file would otherwise raise one box per painted cell.
    bool m_bRecordErrorShown = false;
    bool m_bMemoErrorShown = false;
};
