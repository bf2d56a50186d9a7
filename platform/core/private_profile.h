// Private-profile (.ini) files: named sections of "key=value" lines, read and
// edited the way the programs' settings files have always been, over CFile so
// that FileFaults reaches every read and write.
//
// The rules this reader and writer keep, which neither QSettings (keys are
// case-sensitive on Linux, the file is rewritten sorted, comments are dropped,
// code-page bytes are decoded as UTF-8) nor SimpleIni (lines are reformatted)
// keeps:
// - section and key names match without regard to ASCII letter case, and the
//   first match in the file wins (a section named twice is read as one);
//   anything missing reads as the caller's default;
// - values are bytes: nothing is decoded or re-encoded;
// - a write changes only the lines it must; every other byte of the file
//   (comments, order, blank lines, CRLF endings of a file written on Windows)
//   stays as it was, and new lines take the ending the file already uses;
// - a missing file is created by the first write; the file is replaced
//   atomically (a temporary file in the same folder, then a rename over it),
//   so a failed write leaves the old file whole;
// - a CR or LF inside a value is written as a space, and a value that the
//   reading rules would change (leading or trailing blanks, enclosing quotes)
//   is written in double quotes.
//
// Reading rules of a value: blanks (spaces and tabs) around it are dropped,
// then one pair of matching enclosing quotes (" or ') is removed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

class CPrivateProfile {
public:
    // An empty profile for path; Load reads it. Nothing is cached between
    // objects: make a new one (or Load again) to see the file as it is now.
    explicit CPrivateProfile(std::string strPath);

    // Reads the file. A missing file (or folder) is an empty profile and not
    // a failure. A file that exists but cannot be read (no permission, too
    // big, a folder, a read error) reads as empty and returns false; writes
    // are then refused, so that a file we could not read is never replaced.
    bool Load();
    // A profile loaded from path.
    static CPrivateProfile Read(const std::string& strPath);

    const std::string& GetPath() const { return m_strPath; }
    // Whether the file existed when it was last loaded or saved.
    bool Exists() const { return m_bExists; }

    // The value of a key, or nothing when the section or key is missing.
    std::optional<std::string> Find(std::string_view strSection, std::string_view strKey) const;
    // The value of a key, or strDefault; either is cut to nMaxLength bytes.
    std::string GetString(std::string_view strSection, std::string_view strKey, std::string_view strDefault,
                          size_t nMaxLength = std::string::npos) const;
    // A signed decimal integer: blanks, an optional sign, then digits up to the
    // first other character; no digits reads as 0. Saturates at the int range.
    int GetInt(std::string_view strSection, std::string_view strKey, int nDefault) const;
    // Every key of a section with its value, in file order, each key once
    // (its first occurrence, spelled as in the file).
    std::vector<std::pair<std::string, std::string>> GetSection(std::string_view strSection) const;

    // Edits in memory; Save writes them. A section or key name that cannot be
    // stored (empty, blanks at either end, a line break, "=" in a key, "]" in
    // a section, a key starting like a section or a comment) is refused.
    bool SetString(std::string_view strSection, std::string_view strKey, std::string_view strValue);
    bool SetInt(std::string_view strSection, std::string_view strKey, int nValue);
    // Removes every line of the key in every section of that name; returns
    // whether there was one.
    bool DeleteKey(std::string_view strSection, std::string_view strKey);

    // The file's contents as Save writes them.
    std::string GetBytes() const;
    // Writes the contents: does nothing when they equal the file's, otherwise
    // replaces the file atomically. Returns false, leaving the old file as it
    // was, when it could not; GetLastErrno then says why.
    bool Save();
    int GetLastErrno() const { return m_nLastErrno; }

    // One-shot helpers: load, read or write one value, save.
    static std::string ReadString(const std::string& strPath, std::string_view strSection, std::string_view strKey,
                                  std::string_view strDefault, size_t nMaxLength = std::string::npos);
    static bool WriteString(const std::string& strPath, std::string_view strSection, std::string_view strKey,
                            std::string_view strValue);

    // The largest file read; a bigger one is taken as unreadable.
    static constexpr size_t kMaxFileSize = 16u << 20;

private:
    enum class Kind { other, section, entry };
    struct Line {
        std::string strText;    // the line's bytes without its ending
        std::string strEnding;  // "\r\n", "\n", or "" for a last line without one
        Kind eKind = Kind::other;
        std::string strName;    // section or key name as written, blanks trimmed
        size_t nValuePos = 0;   // entries: where the value starts in strText
        size_t nNext = kNone;   // the following line (lines are a chain, so indexes stay put)
        bool bDeleted = false;
    };
    struct SectionInfo {
        size_t nAnchor;  // new keys go after this line: the last key of the section's first occurrence
    };
    static constexpr size_t kNone = size_t(-1);

    void Parse(const std::string& strBytes);
    void ParseLine(Line& line, bool bFirst) const;
    static std::string ValueOf(const Line& line);
    static std::string Fold(std::string_view str);
    static std::string EntryKey(std::string_view strSection, std::string_view strKey);
    size_t InsertAfter(size_t nAfter, Line line);
    Line MakeLine(std::string strText, Kind eKind, std::string_view strName) const;

    std::string m_strPath;
    std::string m_strLoaded;  // the bytes last read or written
    bool m_bExists = false;
    bool m_bReadable = true;
    int m_nLastErrno = 0;
    std::string m_strEnding = "\n";  // the ending new lines get
    std::vector<Line> m_lines;
    size_t m_nHead = kNone;
    std::unordered_map<std::string, SectionInfo> m_sections;           // by folded name
    std::unordered_map<std::string, std::vector<size_t>> m_entries;    // by folded section and key, in file order
};

}  // namespace platform
