// Whole files as bytes, for the builders of table and memo images (which the
// fuzzers' seed maker uses too, so nothing here depends on GoogleTest).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

Bytes ReadFileBytes(const std::string& strPath);
std::string ReadTextFile(const std::string& strPath);
void WriteFileBytes(const std::string& strPath, const Bytes& bytes);
void WriteFileBytes(const std::string& strPath, const std::string& bytes);

}  // namespace testing_support
