// Numeric string resources: every user-visible text of the programs has an id,
// and the id is how errors, messages and labels find their text. Each module
// registers its own table once; lookups search every registered table.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

struct StringEntry {
    unsigned nId;
    const char* pszText;
};

// Registers a table of entries (which must outlive the program; use a static
// array). Registering the same table twice is harmless.
void RegisterStrings(const StringEntry* pEntries, size_t nCount);

template <size_t N>
void RegisterStrings(const StringEntry (&entries)[N]) {
    RegisterStrings(entries, N);
}

// The text of a string id, or nullptr when no registered table has it.
const char* FindString(unsigned nId);

// The text of a string id, or an empty string.
std::string LoadString(unsigned nId);

}  // namespace platform
