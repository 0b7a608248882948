#pragma once
// zedora-cli dbf verify|set|append|repair: checking a table and scripted
// repairs. Each returns the exit code: 0 done, 1 problems found or left,
// 2 bad usage, 3 the table could not be opened or written.
#include "main/cli_commands.h"

namespace zedora::cli {

int dbfVerify(const std::string& file, std::ostream& out, std::ostream& err);
int dbfSet(const std::string& file, const Args& args, std::ostream& out, std::ostream& err);
int dbfAppend(const std::string& file, const Args& args, std::ostream& out, std::ostream& err);
int dbfRepair(const std::string& file, std::ostream& out, std::ostream& err);

} // namespace zedora::cli
