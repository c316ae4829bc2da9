#pragma once
// The commands of zanvek-cli. Each returns the process exit status:
// 0 success, 1 the command's own negative result (assembly errors, files
// that differ), 2 usage or file errors.

#include <string>
#include <vector>

#include "cli/console_pane.h"
#include "core/workspace.h"

namespace z51 {

struct CliContext {
    Workspace& ws;
    ConsolePane& out;
    bool colour = false;
    std::vector<std::string> args;  // what follows the command word
};

// Prints "zanvek-cli: <message>" to standard error and returns 2.
int UsageError(const std::string& message);

int CmdAsm(CliContext& c);
int CmdTrim(CliContext& c);
int CmdDisasm(CliContext& c);
int CmdBin2Hex(CliContext& c);
int CmdHex2Bin(CliContext& c);
int CmdCompare(CliContext& c);
int CmdIsa(CliContext& c);
int CmdEmu(CliContext& c);

}  // namespace z51
