// The commands of dbftool. Each lives in a file of its own and gets the
// arguments after its name. A command returns the process exit code; engine
// errors it does not catch are reported by main with their message.
#pragma once

#include <string>
#include <vector>

namespace dbftool {

using Args = std::vector<std::string>;

struct Command {
    const char* pszName;
    const char* pszUsage;
    int (*pfnRun)(const Args& args);
};

// The commands, each defined in its cmd_*.cpp file.
extern const Command kInfoCommand;
extern const Command kDumpCommand;
extern const Command kPackCommand;
extern const Command kExportCommand;
extern const Command kSetCommand;
extern const Command kCreateCommand;

// Prints a usage error for one command and returns the exit code for it.
int UsageError(const Command& command);

// Looks for "--name=value" or "--name value" in args; removes it when found.
bool TakeOption(Args& args, const std::string& strName, std::string& strValue);
// Looks for a "--name" flag in args; removes it when found.
bool TakeFlag(Args& args, const std::string& strName);

// The commands, with their usage lines.
int RunMemo(const Args& args);
extern const char kMemoUsage[];

}  // namespace dbftool
