// CDBFMemoryCursorset: the table as the editor works with it. Opening reads
// the whole table file into memory; the visible list orders the records the
// user sees (deleted ones hidden or not, a filter applied, sorted by a
// field). Edits change the records in memory and mark them with a flag
// letter; only Save, Pack and the exports write files. Memo texts are the
// exception: they go to the memo file at once.
//
// Record flags in memory: ' ' live, '*' deleted on disk, 'X' deleted since
// opening, '#' changed since opening, '!' appended since opening. Files only
// ever receive ' ' and '*' ('X' becomes '*', the others ' ').
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/recordset.h"
#include "platform/core/code_page.h"

namespace dbf {

// Record flags in memory.
enum RecordFlag : uint8_t {
    flagLive = ' ',
    flagDeletedOnDisk = '*',
    flagDeleted = 'X',
    flagChanged = '#',
    flagAdded = '!',
};

class CDBFMemoryCursorset : public CDBFRecordset {
public:
    // Keeps a record in the visible list when it returns true. It gets the
    // record's bytes and the field list; memo texts it wants to look at it
    // reads through GetTableDef().
    using Filter = std::function<bool(const uint8_t* pRecord, const DBFFieldList& fields)>;

    CDBFMemoryCursorset();
    ~CDBFMemoryCursorset() override;

    // Opens the table (the table definition's errors propagate; a table the
    // platform cannot read stays closed), reads the whole file into memory
    // (3003 when it cannot) and builds the visible list. Does nothing when
    // already open.
    void Open(const std::string& strPath, unsigned nOpenFlags);
    // Opens, read only, a table whose header's record count disagrees with
    // its file's length (see CDBFTableDef::OpenForSalvage): the records the
    // file really holds are loaded; nothing can be written. A sound table
    // opens as with Open read only.
    void OpenForSalvage(const std::string& strPath);
    // Closes the table and forgets every unsaved edit; deleted records are
    // shown again and the sort direction is ascending. The filter stays.
    void Close();

    // Rebuilds the visible list: the loaded records in file order, then the
    // appended ones, each listed unless it is hidden as deleted ('*' with
    // deleted records hidden; 'X' always shows) or the filter drops it.
    // Stands on the first record; a pending edit is dropped.
    void Requery();

    // Visible records.
    int32_t GetRecordCount() const { return int32_t(m_visible.size()); }
    // The i-th visible record's bytes; 3017 outside the list.
    uint8_t* GetRecord(int32_t nIndex);
    // Stands on visible record i; 3017 outside the list. A pending edit is
    // dropped: it belonged to the record left.
    void SetAbsolutePosition(int32_t nIndex);
    void MoveFirst();
    int32_t GetCurrentIndex() const { return m_nCurIndex; }

    void SetHideDeleted(bool bHide) { m_bShowDeleted = !bHide; }
    bool IsHideDeleted() const { return !m_bShowDeleted; }
    void SetFilter(Filter fnFilter) { m_fnFilter = std::move(fnFilter); }
    bool HasFilter() const { return bool(m_fnFilter); }

    // Flags of the current record (false when there is none).
    bool IsDeletedSinceOpen() const { return CurrentFlag() == flagDeleted; }
    bool IsDeletedOnDisk() const { return CurrentFlag() == flagDeletedOnDisk; }
    bool IsChanged() const { return CurrentFlag() == flagChanged; }
    bool IsAdded() const { return CurrentFlag() == flagAdded; }

    // Sorts the visible list by a field, stably (records with equal values
    // keep their order, so sorting by one field and then another orders by
    // the second and, within it, the first). Empty values (blank dates, no
    // memo) come first ascending and last descending; numbers, dates and
    // currency by value, logicals false before true, text byte by byte
    // (memo fields by their text). Binary memo fields do not sort. The
    // current index stays; a pending edit is dropped. 3017 for a field
    // outside the list.
    void Sort(int nField, bool bDescending);
    int GetSortField() const { return m_nSortField; }
    bool IsSortDescending() const { return m_bSortDescending; }

    // What Save and Pack do when the table file is no longer what was loaded
    // or last saved (another program appended records or rewrote it).
    enum class OnDiskChange { refuse, overwrite };

    // Writes the records this program changed since the table was loaded or
    // last saved (edited, deleted, undeleted, converted between code pages)
    // and the appended ones back into the table file in place, with flags
    // ' ' and '*', and the header with today's date and the count; every
    // other record's bytes on disk are left alone, so what another program
    // wrote to them meanwhile stays. The file as it was is first copied to
    // its backup (CDBFTableDef::BackupPath), and the table is synced to disk
    // before Save returns. Raises 3022 for a table opened read only and 3021
    // when records were appended or the header area (but for its date)
    // changed on disk since the table was loaded or saved (unless told to
    // overwrite). A failed write
    // puts the table back as it was from the backup and raises the file
    // error; if even that fails, 3024 names the backup. Memo texts replaced
    // while replaced memos were kept (SetKeepReplacedMemos) and no longer
    // referenced are freed after the records are written. Returns true.
    bool Save(OnDiskChange eChange = OnDiskChange::refuse);
    // The checks and the backup of Save, done ahead of it: for a caller that
    // must have the backup before it writes anything (a memo text) that Save
    // then stores the reference to. The next Save uses that backup.
    void PrepareSave(OnDiskChange eChange = OnDiskChange::refuse);
    // While on, memo writes leave the text they replace in its blocks (see
    // CMemoFile::SetKeepReplaced) until Save has stored the new references:
    // should the save fail, or the edit be cancelled, the old text is still
    // there for the record that still points at it.
    void SetKeepReplacedMemos(bool bKeep);
    // Removes deleted records: the live ones are written to "x._tmp", which
    // then takes the table's name while the previous file stays as "x.bak";
    // the table is then opened again from it. Raises 3022 (read only), 3021
    // (changed on disk, unless told to overwrite), 3001 (temporary file);
    // a failure before the renames leaves the table as it was; see
    // CDBFTableDef::WriteStructure for the renames. Returns true.
    bool Pack(OnDiskChange eChange = OnDiskChange::refuse);
    // Writes the visible records, in display order, as a new dBASE III or
    // Visual FoxPro table without memo file (memo texts become C 255). False
    // when the file cannot be created. A value its new field cannot hold
    // raises 3023; a failed write raises the file error; either way the
    // unfinished copy is removed.
    //
    // The copy is written to a temporary name beside strPath, synced, and
    // renamed over strPath in one step, so an existing file there is
    // replaced only by a whole copy. The copy carries the table's code-page
    // mark and no index flag. strPath may not name the table or its memo
    // file, nor a file another program holds (false).
    bool ExportDBase3(const std::string& strPath);
    bool ExportVisualFoxPro(const std::string& strPath);

    // Memo texts a copy cuts to its C 255 field: per memo field, how many
    // of the visible records' texts are longer than that.
    struct ExportCut {
        int nField;              // the field's index
        std::string strName;     // its name
        int64_t nValues;         // texts cut
    };
    // What a copy in this dialect would cut, counted before writing it (the
    // programs ask before a Save As that cuts texts). Reads every memo of
    // the visible records; memo errors propagate.
    std::vector<ExportCut> CountExportCuts(bool bVisualFoxPro);
    // What the last export cut (fields with no cut texts left out).
    const std::vector<ExportCut>& GetLastExportCuts() const { return m_lastCuts; }
    // Converts the text of every C field of every record between the DOS
    // (OEM) and Windows (ANSI) code pages. Flags stay; Save writes the result.
    void ConvertOemToAnsi();
    void ConvertAnsiToOem();
    // The same with the table's own pair (platform::DecideTableCodePages).
    void ConvertOemToAnsi(const platform::CCodePage& oem, const platform::CCodePage& ansi);
    void ConvertAnsiToOem(const platform::CCodePage& oem, const platform::CCodePage& ansi);

    // The in-memory edit protocol. AddNew builds a blank record flagged '!',
    // Edit a copy of the current one flagged '#' (unless '!', '*' or 'X');
    // Update stores it (an addition at the end of the visible list) and
    // returns 0, or -2 when nothing was pending; CancelUpdate drops it.
    // Delete and Undelete flag the current record 'X' and '#'.
    void AddNew() override;
    void Edit() override;
    int Update() override;
    void CancelUpdate() override;
    void Delete() override;
    void Undelete() override;
    // Drops the current record from the visible list only.
    virtual void RemoveFromView();

    // Records loaded from the file, and appended since.
    int32_t GetImageRecordCount() const { return m_nImageRecords; }
    int32_t GetAddedRecordCount() const { return int32_t(m_added.size()); }
    // The header as loaded; its count follows the visible list between saves.
    const DBFHeader& GetHeader() const { return m_header; }
    // Loaded record n (its number in the file) as memory holds it; the loaded
    // records lie one after the other. 3017 outside them.
    const uint8_t* GetLoadedRecord(int32_t nRecord);
    // Whether a loaded record (by its number in the file) was changed since
    // the table was loaded or last saved, and will be written by Save.
    bool IsRecordChanged(int32_t nRecord) const;

private:
    struct ImageDeleter {
        void operator()(uint8_t* p) const;
    };
    using Image = std::unique_ptr<uint8_t, ImageDeleter>;
    // What the table file looked like when it was loaded or last saved.
    struct DiskState {
        uint64_t nLength = 0;
        std::vector<uint8_t> headerArea;
        // The same table for a save: the same length and the same header
        // area byte for byte, but for the date of last update, which other
        // programs stamp on their record writes.
        bool IsSameTable(const DiskState& other) const;
    };

    void LoadImage();
    void MarkChanged(uint32_t nSlot);
    DiskState ReadDiskState();
    void MakeBackup(const std::string& strBackup);
    void ReleaseReplacedMemos();
    // The table may be written (3022 when not; 3021 when told to refuse a
    // table changed on disk and it was): returns the disk state it read.
    DiskState CheckWritable(OnDiskChange eChange);
    uint8_t* SlotRecord(uint32_t nSlot);
    uint32_t SlotCount() const { return uint32_t(m_nImageRecords) + uint32_t(m_added.size()); }
    void StandOn(int32_t nIndex);
    void DropPending();
    uint8_t CurrentFlag() const;
    // The header area (header, descriptors, terminator) a save or pack
    // writes, for nCount records.
    std::vector<uint8_t> NewHeaderArea(int32_t nCount);
    // The record in slot nSlot as a file holds it: flag ' ' or '*'.
    void DiskRecord(uint32_t nSlot, uint8_t* pOut);
    // Writes the records and the header area in place (see Save), undoing a
    // failure from the backup; before is the disk state read as the save
    // began. Returns what the file then looks like.
    DiskState WriteInPlace(const std::vector<uint8_t>& headerArea, const DiskState& before, const std::string& strBackup,
                           bool bAllDiffering);
    bool Export(const std::string& strPath, bool bVisualFoxPro);
    bool WriteCopy(const std::string& strPath, const std::vector<DBFFieldDesc>& descs, const std::vector<uint8_t>& area,
                   size_t nRecord);
    void ConvertText(const platform::CCodePageConverter& table);

    DBFHeader m_header{};
    int32_t m_nCurIndex = -1;
    Image m_pImage;
    uint64_t m_nImageBytes = 0;
    // Slots of the visible records: a record of the image by its number, or
    // an appended one by image count + its index in m_added.
    std::vector<uint32_t> m_visible;
    std::vector<std::unique_ptr<uint8_t[]>> m_added;
    int m_nSortField = 0;
    bool m_bSortDescending = false;
    bool m_bShowDeleted = true;
    std::vector<uint8_t> m_pending;
    int32_t m_nImageRecords = 0;
    Filter m_fnFilter;
    DiskState m_diskState;
    // One byte per record in the file when loaded or last saved: changed
    // since then. Records appended after that are written whole anyway.
    std::vector<uint8_t> m_changed;
    // The backup PrepareSave made, and the disk it was made of.
    std::string m_strPreparedBackup;
    DiskState m_preparedState;
    std::vector<ExportCut> m_lastCuts;
};

}  // namespace dbf
