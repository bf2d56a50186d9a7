// Engine errors. Every failure of the table engine that is not a plain
// true/false result leaves the engine as a CDBFException carrying a numeric
// code; the code is also the id of the string that holds its message.
#pragma once

#include <exception>
#include <string>

namespace dbf {

enum ErrorCode : int {
    errCantCreateFile = 3001,
    errCantOpenFile = 3002,
    errCantLoadFile = 3003,
    errReadHeader = 3004,
    errWriteHeader = 3005,
    errNotDbfFile = 3006,
    errNoFields = 3007,
    errFileSize = 3008,
    errReadFieldDesc = 3009,
    errCantOpenMemo = 3010,
    errMemoHeader = 3011,
    errMemoBlockSize = 3012,
    errInvalidMemoRef = 3013,
    errWriteMemo = 3014,
    errReadMemo = 3015,
    errOutOfRange = 3017,
    errReadRecord = 3018,
    errSaveRecord = 3019,
    errFieldNotFound = 3020,  // a field name that names no field of the table
    // Bulk writes (save, pack, export, restructure).
    errChangedOnDisk = 3021,   // the table file changed under the loaded image
    errReadOnlyTable = 3022,   // a write asked of a table opened for reading only
    errValueDoesNotFit = 3023, // a value refused by its new field in a copy
    errKeptInBackup = 3024,    // a rewrite failed half-way; the old table is in the backup file
    errBadStructure = 3025,    // a structure no table can have (no fields, records too long)
};

class CDBFException : public std::exception {
public:
    explicit CDBFException(int nCode);
    // An error with a detail that names what it is about (a record and a
    // field, a backup file's path); the message is the code's text, a space
    // and the detail.
    CDBFException(int nCode, std::string strDetail);

    int GetCode() const { return m_nCode; }
    const std::string& GetDetail() const { return m_strDetail; }

    // Copies the message into pszBuffer: at most nMaxChars - 2 characters and
    // a NUL, with a NUL also at position nMaxChars - 1. Sets *pnHelpContext to
    // 0 when given. Always returns true.
    bool GetErrorMessage(char* pszBuffer, unsigned nMaxChars, unsigned* pnHelpContext = nullptr) const;
    // The whole message text.
    std::string GetErrorMessage() const;

    const char* what() const noexcept override { return m_strMessage.c_str(); }

    int m_nCode;

private:
    std::string m_strMessage;
    std::string m_strDetail;
};

// Raises a CDBFException with the given code (and detail).
[[noreturn]] void ThrowError(int nCode);
[[noreturn]] void ThrowError(int nCode, std::string strDetail);

// The message of an error code: its string, or "Error number 0x" followed by
// the code as eight upper-case hexadecimal digits and a full stop.
std::string ErrorMessageText(int nCode);

// Makes the engine's strings (error messages, field-type names) known to the
// string table. Called by everything in the engine that looks one up.
void RegisterEngineStrings();

}  // namespace dbf
