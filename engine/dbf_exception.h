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
};

class CDBFException : public std::exception {
public:
    explicit CDBFException(int nCode);

    int GetCode() const { return m_nCode; }

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
};

// Raises a CDBFException with the given code.
[[noreturn]] void ThrowError(int nCode);

// The message of an error code: its string, or "Error number 0x" followed by
// the code as eight upper-case hexadecimal digits and a full stop.
std::string ErrorMessageText(int nCode);

// Makes the engine's strings (error messages, field-type names) known to the
// string table. Called by everything in the engine that looks one up.
void RegisterEngineStrings();

}  // namespace dbf
