// dbftool: runs one engine operation named on the command line.
#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/dbf_exception.h"
#include "platform/core/file.h"
#include "tools/dbftool/commands.h"

namespace dbftool {

namespace {
// One line per command, in the order the usage text lists them.
const std::vector<Command> kCommands = {
    kInfoCommand,
    kDumpCommand,
    {"memo", kMemoUsage, RunMemo},
};
}  // namespace

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

int main(int argc, char** argv) {
    using namespace dbftool;
    if (argc >= 2) {
        for (const Command& command : kCommands) {
            if (std::strcmp(argv[1], command.pszName) != 0) continue;
            try {
                return command.pfnRun(Args(argv + 2, argv + argc));
            } catch (const dbf::CDBFException& e) {
                std::fprintf(stderr, "%s\n", e.GetErrorMessage().c_str());
            } catch (const platform::CFileException& e) {
                std::fprintf(stderr, "%s\n", e.what());
            } catch (const std::exception& e) {
                std::fprintf(stderr, "dbftool: %s\n", e.what());
            }
            return 1;
        }
    }
    std::fprintf(stderr, "usage:\n");
    for (const Command& command : kCommands) std::fprintf(stderr, "  dbftool %s\n", command.pszUsage);
    return 2;
}
