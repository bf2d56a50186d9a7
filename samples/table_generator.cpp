// The generated customer tables: records are built a buffer of a megabyte
// at a time and written through the platform file, the memos after them in
// FoxPro's layout (big-endian type and length, 64-byte blocks).
#include "samples/table_generator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/dbf_format.h"
#include "engine/table_def.h"
#include "platform/core/byte_order.h"
#include "platform/core/file.h"

namespace samples {

namespace {

constexpr unsigned kCreate =
    platform::modeCreate | platform::shareExclusive | platform::modeReadWrite | platform::typeBinary;
constexpr uint32_t kMemoBlock = 64;
constexpr size_t kChunk = 1 << 20;

const char* const kSurnames[] = {
    "Smith",   "Johnson", "Williams", "Brown",   "Jones",    "Garcia",  "Miller",  "Davis",    "Rodriguez", "Martinez",
    "Lopez",   "Wilson",  "Anderson", "Thomas",  "Taylor",   "Moore",   "Jackson", "Martin",   "Lee",       "Perez",
    "Thompson", "White",  "Harris",   "Sanchez", "Clark",    "Ramirez", "Lewis",   "Robinson", "Walker",    "Young",
    "Allen",   "King",    "Wright",   "Scott",   "Torres",   "Nguyen",  "Hill",    "Flores",   "Green",     "Adams",
    "Nelson",  "Baker",   "Hall",     "Rivera",  "Campbell", "Mitchell", "Carter", "Roberts",  "Muller",    "Schmidt",
    "Schneider", "Fischer", "Weber",  "Meyer",   "Wagner",   "Becker",  "Schulz", "Hoffmann", "Dubois",    "Durand",
    "Leroy",   "Moreau",  "Simon",    "Laurent", "Lefebvre", "Michel",  "Rossi",  "Russo",    "Ferrari",   "Esposito",
    "Bianchi", "Romano",  "Colombo",  "Ricci",   "Novak",    "Horvat",  "Kowalski", "Nowak",   "Wisniewski", "Dvorak"};
const char* const kGiven[] = {"Anna",  "Ben",   "Carla", "David", "Eva",   "Frank", "Grace", "Hugo",  "Ines",
                              "Jonas", "Karin", "Leo",   "Maria", "Nils",  "Olga",  "Paul",  "Rosa",  "Sven",
                              "Tina",  "Ulf",   "Vera",  "Walter", "Xenia", "Yann", "Zoe",   "Adam",  "Berta",
                              "Carl",  "Dora",  "Emil",  "Frida", "Georg", "Hanna", "Ivan",  "Julia", "Kurt"};
const char* const kTowns[] = {"Aachen", "Bordeaux", "Cork", "Dresden", "Eindhoven", "Florence", "Graz", "Hamburg",
                              "Innsbruck", "Jena", "Krakow", "Lyon", "Malaga", "Nantes", "Oslo", "Porto", "Quimper",
                              "Rotterdam", "Salzburg", "Turin", "Utrecht", "Valencia", "Wroclaw", "York", "Zurich"};
const char* const kRegions[] = {"NORTH", "SOUTH", "EAST", "WEST", "CENTRAL", "COAST", "ALPINE", "ISLANDS"};
const char* const kWords[] = {"delivery", "invoice", "call back", "discount", "complaint", "order", "paid",
                              "reminder", "address changed", "new contact", "urgent", "samples sent"};

// splitmix64: fast, and the same sequence on every machine.
class CRandom {
public:
    explicit CRandom(uint64_t nSeed) : m_n(nSeed) {}
    uint64_t Next() {
        uint64_t z = (m_n += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return uint32_t(Next() % n); }

private:
    uint64_t m_n;
};

template <size_t N>
const char* Pick(CRandom& random, const char* const (&list)[N]) {
    return list[random.Below(N)];
}

struct Field {
    const char* pszName;
    char cType;
    uint8_t nWidth;
    uint8_t nDecimals;
};
const Field kFields[] = {{"NAME", 'C', 20, 0}, {"CITY", 'C', 15, 0}, {"CODE", 'C', 8, 0},
                         {"AMOUNT", 'N', 12, 2}, {"QTY", 'N', 5, 0}, {"BORN", 'D', 8, 0},
                         {"ACTIVE", 'L', 1, 0}, {"NOTE", 'M', 10, 0}, {"REGION", 'C', 10, 0}};
constexpr size_t kFieldCount = sizeof kFields / sizeof kFields[0];

// Text left-aligned in a field of spaces; a number right-aligned.
void PutText(uint8_t* p, size_t nWidth, const char* psz) {
    const size_t n = std::min(std::strlen(psz), nWidth);
    std::memcpy(p, psz, n);
}
void PutRight(uint8_t* p, size_t nWidth, const char* psz) {
    const size_t n = std::min(std::strlen(psz), nWidth);
    std::memcpy(p + nWidth - n, psz, n);
}

}  // namespace

GeneratedTable WriteMixedTable(const std::string& strPath, int32_t nRecords, uint64_t nSeed) {
    GeneratedTable result;
    result.strTable = strPath;
    dbf::DBFHeader header{};
    header.version = dbf::verFoxProMemo;
    result.strMemo = dbf::CDBFTableDef::SiblingPath(strPath, ".FPT");

    uint16_t nRecordLength = 1;
    std::vector<dbf::DBFFieldDesc> descs(kFieldCount);
    for (size_t i = 0; i < kFieldCount; ++i) {
        dbf::DBFFieldDesc& d = descs[i];
        d = dbf::DBFFieldDesc{};
        d.SetName(kFields[i].pszName);
        d.type = kFields[i].cType;
        d.width = kFields[i].nWidth;
        d.decimals = kFields[i].nDecimals;
        d.SetDisplacement(nRecordLength);
        nRecordLength = uint16_t(nRecordLength + kFields[i].nWidth);
    }
    const uint16_t nHeaderLength = uint16_t(32 + 32 * kFieldCount + 1);
    dbf::StampLastUpdate(header);
    header.SetRecordCount(nRecords);
    header.SetHeaderLength(nHeaderLength);
    header.SetRecordLength(nRecordLength);

    platform::CFile table, memo;
    int nErrno = 0;
    if (!table.Open(strPath, kCreate, &nErrno)) throw platform::CFileException(nErrno, strPath, "create");
    if (!memo.Open(result.strMemo, kCreate, &nErrno)) throw platform::CFileException(nErrno, result.strMemo, "create");

    std::vector<uint8_t> head(nHeaderLength, 0);
    std::memcpy(head.data(), &header, sizeof header);
    std::memcpy(head.data() + 32, descs.data(), descs.size() * sizeof(dbf::DBFFieldDesc));
    head[nHeaderLength - 1] = dbf::kHeaderTerminator;
    table.Write(head.data(), head.size());

    // The memo file: a 512-byte header (next free block, block size 64 at
    // bytes 6-7), then one memo after another.
    uint32_t nNextBlock = 512 / kMemoBlock;
    std::vector<uint8_t> memoBytes;
    memoBytes.reserve(kChunk + 512);
    memoBytes.resize(512, 0);
    platform::PutBE16(memoBytes.data() + 6, kMemoBlock);

    CRandom random(nSeed);
    std::vector<uint8_t> buffer;
    buffer.reserve(kChunk + nRecordLength);
    char sz[64];
    for (int32_t n = 0; n < nRecords; ++n) {
        const size_t nAt = buffer.size();
        buffer.resize(nAt + nRecordLength, ' ');
        uint8_t* p = buffer.data() + nAt;
        const bool bDeleted = random.Below(50) == 0;
        p[0] = bDeleted ? '*' : ' ';
        result.nDeleted += bDeleted;
        uint8_t* f = p + 1;
        std::snprintf(sz, sizeof sz, "%s %s", Pick(random, kSurnames), Pick(random, kGiven));
        PutText(f, 20, sz), f += 20;
        PutText(f, 15, Pick(random, kTowns)), f += 15;
        std::snprintf(sz, sizeof sz, "%c%c-%05u", char('A' + random.Below(26)), char('A' + random.Below(26)),
                      random.Below(100000));
        PutText(f, 8, sz), f += 8;
        std::snprintf(sz, sizeof sz, "%.2f", (double(random.Below(110000000)) - 10000000.0) / 100.0);
        PutRight(f, 12, sz), f += 12;
        std::snprintf(sz, sizeof sz, "%u", random.Below(100000));
        PutRight(f, 5, sz), f += 5;
        if (random.Below(20) != 0) {
            std::snprintf(sz, sizeof sz, "%04u%02u%02u", 1930 + random.Below(80), 1 + random.Below(12),
                          1 + random.Below(28));
            std::memcpy(f, sz, 8);
        }
        f += 8;
        *f++ = random.Below(2) ? 'T' : 'F';
        if (random.Below(10) == 0) {
            // A memo: a few words, 20 to 300 characters.
            std::string strText = "Customer note " + std::to_string(n) + ":";
            const size_t nLength = 20 + random.Below(281);
            while (strText.size() < nLength) strText += std::string(" ") + Pick(random, kWords);
            strText.resize(nLength);
            const size_t nAtMemo = memoBytes.size();
            const size_t nBlocks = (8 + strText.size() + kMemoBlock - 1) / kMemoBlock;
            memoBytes.resize(nAtMemo + nBlocks * kMemoBlock, 0);
            platform::PutBE32(memoBytes.data() + nAtMemo, 1);
            platform::PutBE32(memoBytes.data() + nAtMemo + 4, uint32_t(strText.size()));
            std::memcpy(memoBytes.data() + nAtMemo + 8, strText.data(), strText.size());
            std::snprintf(sz, sizeof sz, "%u", nNextBlock);
            PutRight(f, 10, sz);
            nNextBlock += uint32_t(nBlocks);
            ++result.nMemos;
            if (memoBytes.size() >= kChunk) {
                memo.Write(memoBytes.data(), memoBytes.size());
                result.nMemoBytes += memoBytes.size();
                memoBytes.clear();
            }
        }
        f += 10;
        PutText(f, 10, Pick(random, kRegions));
        if (buffer.size() >= kChunk) {
            table.Write(buffer.data(), buffer.size());
            buffer.clear();
        }
    }
    buffer.push_back(dbf::kEndOfFile);
    table.Write(buffer.data(), buffer.size());
    memo.Write(memoBytes.data(), memoBytes.size());
    result.nMemoBytes += memoBytes.size();
    uint8_t next[4];
    platform::PutBE32(next, nNextBlock);
    memo.SeekToBegin();
    memo.Write(next, sizeof next);
    result.nTableBytes = table.GetLength();
    return result;
}

void CreateTable(const std::string& strPath, uint8_t nVersion, uint8_t nCodePageMark,
                 const std::vector<FieldSpec>& fields) {
    dbf::CDBFTableDef def;
    if (!def.CreateNew(strPath))
        throw platform::CFileException(EIO, strPath, "create");
    dbf::DBFHeader header = def.GetHeader();
    header.version = nVersion;
    header.codePageMark = nCodePageMark;
    def.SetHeader(header);
    for (const FieldSpec& spec : fields) {
        dbf::DBFFieldDesc desc{};
        std::snprintf(desc.name, sizeof desc.name, "%s", spec.pszName);
        desc.type = spec.cType;
        desc.width = spec.nWidth;
        desc.decimals = spec.nDecimals;
        def.AppendField(desc);
    }
    def.WriteStructure();
    def.Close();
}

}  // namespace samples
