// Helpers of the reader's tests: a small builder of .dbf bytes, memo file
// builders, and an error sink that records what the reader reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"
#include "viewer/reader/dbf_file_reader.h"

namespace reader_test {

using testing_support::Bytes;

struct FieldSpec {
    std::string strName;
    char cType;
    uint8_t nWidth;
    uint8_t nDecimals = 0;
};

// Builds a table: header, descriptors, 0x0D, records, 0x1A. The header's
// numbers are computed unless a test overrides them to damage the file.
struct TableBuilder {
    uint8_t nVersion = 0x03;
    uint8_t nCodePage = 0;
    std::vector<FieldSpec> fields;
    std::vector<Bytes> records;  // each without its deletion flag
    std::optional<int32_t> nRecordCountOverride;
    int nRecordLengthOverride = -1;
    bool bTerminator = true;

    TableBuilder& Field(const std::string& strName, char cType, uint8_t nWidth, uint8_t nDecimals = 0) {
        fields.push_back({strName, cType, nWidth, nDecimals});
        return *this;
    }
    // A record given as the bytes of its fields in order (text or binary).
    TableBuilder& Record(const std::string& strBytes, char cFlag = ' ') {
        Bytes b{uint8_t(cFlag)};
        b.insert(b.end(), strBytes.begin(), strBytes.end());
        records.push_back(b);
        return *this;
    }
    uint16_t RecordLength() const;
    Bytes Build() const;
    std::string Write(const std::string& strPath) const;
};

// Little-endian and big-endian bytes as text, for composing records and memos.
std::string LE16(uint16_t n);
std::string LE32(uint32_t n);
std::string LE64(uint64_t n);
std::string BE32(uint32_t n);
// A text padded with spaces (or cut) to a width.
std::string Pad(const std::string& str, size_t nWidth);

// An .FPT file with the given block size and memos placed from block 8 on
// (after the 512-byte header); returns the block number of each memo.
std::vector<uint32_t> WriteFptFile(const std::string& strPath, uint16_t nBlockSize,
                                   const std::vector<std::string>& memos);
// A dBASE III .DBT file: 512-byte blocks, each memo ending with 1A 1A.
std::vector<uint32_t> WriteDbt3File(const std::string& strPath, const std::vector<std::string>& memos);
// A dBASE IV .DBT file with the given block size in its header (0 allowed);
// memos are laid out in blocks of nLayoutBlock bytes.
std::vector<uint32_t> WriteDbt4File(const std::string& strPath, uint16_t nHeaderBlockSize, uint16_t nLayoutBlock,
                                    const std::vector<std::string>& memos);

struct ReportedError {
    unsigned nId;
    std::string strText;
};

class CRecordingSink : public CReaderErrorSink {
public:
    void ShowError(unsigned nMessageId, const std::string& strText) override {
        errors.push_back({nMessageId, strText});
    }
    std::vector<ReportedError> errors;
};

// A reader with a recording sink.
struct ReaderFixture {
    ReaderFixture() { reader.SetErrorSink(&sink); }
    CRecordingSink sink;
    CDBFFileReader reader;

    std::string Text(int nField, int32_t nRecord) {
        std::string str;
        bool b = false;
        reader.GetFieldText(nField, nRecord, str, b);
        return str;
    }
};

}  // namespace reader_test
