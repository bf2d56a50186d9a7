#include "tests/support/file_bytes.h"

#include <fstream>
#include <iterator>

namespace testing_support {

Bytes ReadFileBytes(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadTextFile(const std::string& strPath) {
    Bytes bytes = ReadFileBytes(strPath);
    return std::string(bytes.begin(), bytes.end());
}

void WriteFileBytes(const std::string& strPath, const Bytes& bytes) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteFileBytes(const std::string& strPath, const std::string& bytes) {
    WriteFileBytes(strPath, Bytes(bytes.begin(), bytes.end()));
}

}  // namespace testing_support
