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
    kPackCommand,
    kExportCommand,
    kSetCommand,
    kCreateCommand,
    {"memo", kMemoUsage, RunMemo},
};
}  // namespace

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
