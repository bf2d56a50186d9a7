// The memory cursor set: loading the whole table, the visible list,
// positioning and the in-memory edit protocol. Sorting is in
// memory_cursorset_sort.cpp, saving, packing, exporting and the code-page
// conversion in memory_cursorset_write.cpp.
#include "engine/memory_cursorset.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/dbf_exception.h"

namespace dbf {

namespace {

// Large images are allocated on 2 MB boundaries and offered to the kernel
// for huge pages: loading a table of 90 MB then costs a few dozen page
// faults instead of twenty thousand.
constexpr size_t kHugePage = size_t(2) << 20;

uint8_t* AllocateImage(uint64_t nBytes) {
    if (nBytes > uint64_t(SIZE_MAX) - kHugePage) throw std::bad_alloc();
    const size_t nSize = std::max<size_t>(size_t(nBytes), 1);
    if (nSize < kHugePage) return static_cast<uint8_t*>(std::malloc(nSize));
    const size_t nRounded = (nSize + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, nRounded);
#ifdef MADV_HUGEPAGE
    // The last, partial huge page stays in small pages: a huge one would
    // take up to 2 MB that the table does not fill.
    if (p) madvise(p, nSize / kHugePage * kHugePage, MADV_HUGEPAGE);
#endif
    return static_cast<uint8_t*>(p);
}

}  // namespace

void CDBFMemoryCursorset::ImageDeleter::operator()(uint8_t* p) const { std::free(p); }

CDBFMemoryCursorset::CDBFMemoryCursorset() = default;

CDBFMemoryCursorset::~CDBFMemoryCursorset() { Close(); }

void CDBFMemoryCursorset::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (IsOpen()) return;
    Close();
    OpenTableDef(strPath, nOpenFlags);
    if (!IsOpen()) return;
    try {
        m_header = m_pTableDef->GetHeader();
        LoadImage();
    } catch (...) {
        Close();
        throw;
    }
    Requery();
}

void CDBFMemoryCursorset::OpenForSalvage(const std::string& strPath) {
    if (IsOpen()) return;
    Close();
    OpenTableDef(strPath, platform::shareDenyNone, true);
    if (!IsOpen()) return;
    try {
        m_header = m_pTableDef->GetHeader();
        LoadImage();
    } catch (...) {
        Close();
        throw;
    }
    Requery();
}

void CDBFMemoryCursorset::LoadImage() {
    const uint64_t nRecords = uint64_t(m_header.GetRecordCount());
    const uint64_t nNeeded = m_header.GetHeaderLength() + nRecords * m_header.GetRecordLength();
    // The open proved the file long enough; a file cut short since, or one
    // too big for memory, cannot be loaded.
    try {
        const uint64_t nLength = m_pTableDef->GetFileLength();
        if (nLength < nNeeded) ThrowError(errCantLoadFile);
        m_pImage.reset(AllocateImage(nLength));
        if (!m_pImage) ThrowError(errCantLoadFile);
        const size_t nRead = m_pTableDef->ReadFileAt(0, m_pImage.get(), size_t(nLength));
        if (nRead < nNeeded) ThrowError(errCantLoadFile);
        m_nImageBytes = nRead;
        m_diskState.nLength = nLength;
    } catch (const std::bad_alloc&) {
        ThrowError(errCantLoadFile);
    } catch (const platform::CFileException&) {
        ThrowError(errCantLoadFile);
    }
    m_nImageRecords = int32_t(nRecords);
    m_changed.assign(size_t(nRecords), 0);
    m_diskState.headerArea.assign(m_pImage.get(), m_pImage.get() + m_header.GetHeaderLength());
}

void CDBFMemoryCursorset::MarkChanged(uint32_t nSlot) {
    if (nSlot < m_changed.size()) m_changed[nSlot] = 1;
}

const uint8_t* CDBFMemoryCursorset::GetLoadedRecord(int32_t nRecord) {
    if (nRecord < 0 || nRecord >= m_nImageRecords) ThrowError(errOutOfRange);
    return SlotRecord(uint32_t(nRecord));
}

bool CDBFMemoryCursorset::IsRecordChanged(int32_t nRecord) const {
    return nRecord >= 0 && size_t(nRecord) < m_changed.size() && m_changed[size_t(nRecord)];
}

void CDBFMemoryCursorset::SetKeepReplacedMemos(bool bKeep) {
    if (CMemoFile* pMemo = m_pTableDef ? m_pTableDef->GetMemo() : nullptr) pMemo->SetKeepReplaced(bKeep);
}

void CDBFMemoryCursorset::Close() {
    CDBFRecordset::Close();
    m_bShowDeleted = true;
    m_bSortDescending = false;
    m_nSortField = 0;
    m_nCurIndex = -1;
    m_pImage.reset();
    m_nImageBytes = 0;
    std::vector<uint32_t>().swap(m_visible);
    m_added.clear();
    std::vector<uint8_t>().swap(m_pending);
    m_nImageRecords = 0;
    m_diskState = DiskState();
    std::vector<uint8_t>().swap(m_changed);
    m_strPreparedBackup.clear();
    m_preparedState = DiskState();
    m_lastCuts.clear();
    m_header = DBFHeader{};
}

uint8_t* CDBFMemoryCursorset::SlotRecord(uint32_t nSlot) {
    if (nSlot < uint32_t(m_nImageRecords))
        return m_pImage.get() + m_header.GetHeaderLength() + size_t(nSlot) * m_nRecordLength;
    return m_added[nSlot - uint32_t(m_nImageRecords)].get();
}

void CDBFMemoryCursorset::Requery() {
    if (!IsOpen()) return;
    DropPending();
    m_visible.clear();
    m_visible.reserve(SlotCount());
    const uint32_t nSlots = SlotCount();
    auto standOnFirst = [this] {
        m_header.SetRecordCount(int32_t(m_visible.size()));
        if (!m_visible.empty()) {
            MoveFirst();
        } else {
            m_nCurIndex = 0;
            SetCurrentRecord(-1, nullptr);
            m_bBOF = m_bEOF = true;
        }
    };
    try {
        for (uint32_t nSlot = 0; nSlot < nSlots; ++nSlot) {
            const uint8_t* pRecord = SlotRecord(nSlot);
            if (!m_bShowDeleted && pRecord[0] == flagDeletedOnDisk) continue;
            if (m_fnFilter && !m_fnFilter(pRecord, m_fields)) continue;
            m_visible.push_back(nSlot);
        }
    } catch (...) {
        // A filter that failed (a memo it could not read): the records
        // listed so far are the list, and the cursor stands on one of them.
        standOnFirst();
        throw;
    }
    standOnFirst();
}

uint8_t* CDBFMemoryCursorset::GetRecord(int32_t nIndex) {
    if (nIndex < 0 || size_t(nIndex) >= m_visible.size()) ThrowError(errOutOfRange);
    return SlotRecord(m_visible[size_t(nIndex)]);
}

void CDBFMemoryCursorset::StandOn(int32_t nIndex) {
    if (nIndex < 0 || size_t(nIndex) >= m_visible.size()) {
        SetCurrentRecord(-1, nullptr);
        return;
    }
    m_nCurIndex = nIndex;
    const uint32_t nSlot = m_visible[size_t(nIndex)];
    SetCurrentRecord(int32_t(nSlot), SlotRecord(nSlot));
    m_bBOF = m_bEOF = false;
}

void CDBFMemoryCursorset::SetAbsolutePosition(int32_t nIndex) {
    if (nIndex < 0 || size_t(nIndex) >= m_visible.size()) ThrowError(errOutOfRange);
    DropPending();
    StandOn(nIndex);
}

void CDBFMemoryCursorset::MoveFirst() {
    DropPending();
    if (m_visible.empty()) ThrowError(errOutOfRange);
    StandOn(0);
}

// A pending edit belongs to the record it was started on; whatever moves the
// cursor elsewhere (or rebuilds the list) drops it, so that a later Update
// can never store it over another record.
void CDBFMemoryCursorset::DropPending() {
    const bool bOnPending = !m_pending.empty() && m_fields.m_pRecord == m_pending.data();
    m_pending.clear();
    m_nEditMode = editNone;
    if (bOnPending) StandOn(m_nCurIndex);
}

uint8_t CDBFMemoryCursorset::CurrentFlag() const {
    return m_fields.m_pRecord && m_nRecordLength ? m_fields.m_pRecord[0] : 0;
}

// The edit protocol.

void CDBFMemoryCursorset::AddNew() {
    if (!IsOpen()) ThrowError(errOutOfRange);
    m_pending.assign(m_nRecordLength, 0);
    InitNewRecord(m_pending.data());
    m_pending[0] = flagAdded;
    m_nEditMode = editAdd;
    SetCurrentRecord(-1, m_pending.data());
}

void CDBFMemoryCursorset::Edit() {
    // Editing the record being added goes on adding it: it is in no list
    // yet that an edit could be stored into.
    if (m_nEditMode == editAdd) return;
    const uint8_t* pRecord = CurrentRecord().data();
    std::vector<uint8_t> copy(pRecord, pRecord + m_nRecordLength);
    if (copy[0] != flagAdded && copy[0] != flagDeletedOnDisk && copy[0] != flagDeleted) copy[0] = flagChanged;
    m_pending = std::move(copy);
    m_nEditMode = editEdit;
    SetCurrentRecord(m_nCurRecord, m_pending.data());
}

int CDBFMemoryCursorset::Update() {
    const int nMode = m_nEditMode;
    m_nEditMode = editNone;
    if (nMode == editEdit && m_nCurRecord >= 0) {
        std::memcpy(SlotRecord(uint32_t(m_nCurRecord)), m_pending.data(), m_nRecordLength);
        MarkChanged(uint32_t(m_nCurRecord));
    } else if (nMode == editAdd) {
        if (SlotCount() >= uint32_t(INT32_MAX)) ThrowError(errSaveRecord);
        auto pRecord = std::make_unique<uint8_t[]>(m_nRecordLength);
        std::memcpy(pRecord.get(), m_pending.data(), m_nRecordLength);
        m_added.push_back(std::move(pRecord));
        m_visible.push_back(SlotCount() - 1);
        m_header.SetRecordCount(int32_t(m_visible.size()));
        m_nCurIndex = int32_t(m_visible.size()) - 1;
    }
    m_pending.clear();
    StandOn(m_nCurIndex);
    return nMode == editNone ? -2 : 0;
}

void CDBFMemoryCursorset::CancelUpdate() {
    m_pending.clear();
    m_nEditMode = editNone;
    StandOn(m_nCurIndex);
}

void CDBFMemoryCursorset::Delete() {
    std::span<uint8_t> record = CurrentRecord();
    record[0] = flagDeleted;
    if (m_nEditMode != editAdd && m_nCurRecord >= 0) MarkChanged(uint32_t(m_nCurRecord));
    // A pending edit goes into the record with the flag. A record being
    // added is not in the list yet: only its own flag changes.
    if (m_nEditMode == editEdit && m_nCurRecord >= 0)
        std::memcpy(SlotRecord(uint32_t(m_nCurRecord)), record.data(), m_nRecordLength);
}

void CDBFMemoryCursorset::Undelete() {
    std::span<uint8_t> record = CurrentRecord();
    record[0] = flagChanged;
    if (m_nEditMode != editAdd && m_nCurRecord >= 0) MarkChanged(uint32_t(m_nCurRecord));
    if (m_nEditMode == editEdit && m_nCurRecord >= 0)
        std::memcpy(SlotRecord(uint32_t(m_nCurRecord)), record.data(), m_nRecordLength);
}

void CDBFMemoryCursorset::RemoveFromView() {
    DropPending();
    if (m_nCurIndex < 0 || size_t(m_nCurIndex) >= m_visible.size()) return;
    m_visible.erase(m_visible.begin() + m_nCurIndex);
    m_header.SetRecordCount(int32_t(m_visible.size()));
    if (size_t(m_nCurIndex) >= m_visible.size() && m_nCurIndex > 0) --m_nCurIndex;
    if (m_visible.empty()) {
        SetCurrentRecord(-1, nullptr);
        m_bBOF = m_bEOF = true;
        return;
    }
    StandOn(m_nCurIndex);
}

}  // namespace dbf
