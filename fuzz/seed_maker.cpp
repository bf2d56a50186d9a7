// Writes the starting inputs of every fuzz target into a folder per target:
// the real tables of the corpus with their memo files, packed the way each
// target reads its input, and small tables built here with every field type
// and every memo layout. Run by the fuzz scripts; nothing it writes goes into
// the project.
//   fuzz_seed_maker <corpus folder or ""> <output folder>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/seed_tables.h"

namespace fs = std::filesystem;
using fuzz::Bytes;

namespace {

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Save(const fs::path& dir, const std::string& strName, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / strName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The memo file beside a table, found by any letter case, and its kind as
// the reader target numbers it (1 .FPT, 2 .DBT, 3 .DCT).
fs::path FindMemo(const fs::path& table, int& nKind) {
    std::string strStem = table.stem().string();
    std::string strExt = table.extension().string();
    for (char& c : strExt) c = char(std::toupper(static_cast<unsigned char>(c)));
    const char* kExts[] = {"FPT", "DBT", "DCT"};
    for (int k = 0; k < 3; ++k) {
        if ((strExt == ".DBC") != (k == 2)) continue;
        for (const auto& entry : fs::directory_iterator(table.parent_path())) {
            std::string strName = entry.path().filename().string();
            for (char& c : strName) c = char(std::toupper(static_cast<unsigned char>(c)));
            std::string strWanted = strStem + "." + kExts[k];
            for (char& c : strWanted) c = char(std::toupper(static_cast<unsigned char>(c)));
            if (strName == strWanted) {
                nKind = k + 1;
                return entry.path();
            }
        }
    }
    nKind = 0;
    return fs::path();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seed_maker <corpus folder or \"\"> <output folder>\n");
        return 2;
    }
    fs::path out(argv[2]);
    std::vector<fuzz::SeedTable> tables = fuzz::BuildSeedTables();
    if (*argv[1] && fs::is_directory(argv[1])) {
        for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
            std::string strExt = entry.path().extension().string();
            for (char& c : strExt) c = char(std::tolower(static_cast<unsigned char>(c)));
            if (strExt != ".dbf" && strExt != ".dbc") continue;
            fuzz::SeedTable seed;
            seed.strName = entry.path().stem().string();
            seed.table = ReadAll(entry.path());
            fs::path memo = FindMemo(entry.path(), seed.nMemoKind);
            if (seed.nMemoKind) seed.memo = ReadAll(memo);
            tables.push_back(seed);
        }
    }
    size_t nSeeds = 0;
    for (const fuzz::SeedTable& seed : tables) {
        for (const fuzz::SeedInput& input : fuzz::SeedInputsFor(seed)) {
            Save(out / input.strTarget, seed.strName + input.strSuffix, input.bytes);
            ++nSeeds;
        }
    }
    std::printf("fuzz_seed_maker: %zu seeds from %zu tables in %s\n", nSeeds, tables.size(), out.c_str());
    return 0;
}
