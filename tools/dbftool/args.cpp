// The command-line helpers every dbftool command uses.
#include <cstdio>

#include "tools/dbftool/commands.h"

namespace dbftool {

int UsageError(const Command& command) {
    std::fprintf(stderr, "usage: dbftool %s\n", command.pszUsage);
    return 2;
}

bool TakeOption(Args& args, const std::string& strName, std::string& strValue) {
    const std::string strPrefix = "--" + strName;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind(strPrefix + "=", 0) == 0) {
            strValue = args[i].substr(strPrefix.size() + 1);
            args.erase(args.begin() + long(i));
            return true;
        }
        if (args[i] == strPrefix && i + 1 < args.size()) {
            strValue = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            return true;
        }
    }
    return false;
}

bool TakeFlag(Args& args, const std::string& strName) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--" + strName) {
            args.erase(args.begin() + long(i));
            return true;
        }
    }
    return false;
}

}  // namespace dbftool
