#pragma once
// The sub-commands of zedora-cli. Each gets the arguments after its own
// name, writes results (UTF-8) to out and the program's messages to err, and
// returns the process exit code.
#include <iosfwd>
#include <string>
#include <vector>

namespace zedora::cli {

using Args = std::vector<std::string>;

int dbfCommand(const Args& args, std::ostream& out, std::ostream& err);
int reorgCommand(const Args& args, std::ostream& out, std::ostream& err);
int createCommand(const Args& args, std::ostream& out, std::ostream& err);
int setupCommand(const Args& args, std::ostream& out, std::ostream& err);
int pdfCommand(const Args& args, std::ostream& out, std::ostream& err);
int importCommand(const Args& args, std::ostream& out, std::ostream& err);
int listCommand(const Args& args, std::ostream& out, std::ostream& err);
int zipCommand(const Args& args, std::ostream& out, std::ostream& err);
int rolloverCommand(const Args& args, std::ostream& out, std::ostream& err);
int archiveCommand(const Args& args, std::ostream& out, std::ostream& err);
int statsCommand(const Args& args, std::ostream& out, std::ostream& err);

} // namespace zedora::cli
