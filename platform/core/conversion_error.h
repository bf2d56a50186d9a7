// The error raised when a value cannot be converted to the kind asked for
// (text that is not a number, a number too big for its kind, a date outside
// the years 1 to 9999). The engine lets it through to the caller, which keeps
// the user's input and says that the value was refused.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class CConversionError : public std::runtime_error {
public:
    explicit CConversionError(const std::string& strWhat) : std::runtime_error(strWhat) {}
};

[[noreturn]] inline void ThrowConversionError(const std::string& strWhat) { throw CConversionError(strWhat); }

}  // namespace platform
