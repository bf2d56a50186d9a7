// Small tables with every field type and every memo layout, built for the
// fuzzers' starting inputs, and the packing of a table into each target's
// input format.
#pragma once

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace fuzz {

struct SeedTable {
    std::string strName;
    Bytes table;
    Bytes memo;
    int nMemoKind = 0;  // 0 none, 1 .FPT, 2 .DBT, 3 .DCT beside a .dbc, 4 .SMT
};

struct SeedInput {
    std::string strTarget;  // the target's name, which is also its seed folder
    std::string strSuffix;  // added to the table's name
    Bytes bytes;
};

std::vector<SeedTable> BuildSeedTables();
std::vector<SeedInput> SeedInputsFor(const SeedTable& seed);

}  // namespace fuzz
