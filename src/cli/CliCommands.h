#pragma once
// vaskel-cli: the headless companion. Commands run against streams so the
// tests can drive them in-process. Each command is an entry of the command
// registry (cli/CommandRegistry.h) in a file of its own; this is the
// dispatch and what several commands share.

#include "telegram/TelegramParser.h"

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace vaskel {

// Exit codes.
inline constexpr int kCliOk = 0;
inline constexpr int kCliFailure = 1;
inline constexpr int kCliUsage = 2;

// args excludes the program name. defaultCatalogue is used when no
// --catalogue is given.
// in is the standard input (decode -). Runs the command of the registry
// that args[0] names; -h, --help and --version are the program's own; an
// unknown command: kCliUsage after the message and the program's help.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::string& defaultCatalogue, std::istream& in);

// One JSON object (no line break) with the 21 fields of a classification.
std::string TelegramRecordToJson(const TTelegramRecord& r);

// Where the shipped catalogue is, seen from the program file's folder.
std::string FindShippedCatalogue(const std::string& programDir);

// -h or --help.
bool IsHelpArgument(const std::string& argument);

// Terminal text (UTF-8, entry notation) to telegram bytes.
std::string EntryArgumentToTelegram(const std::string& argument);

class TTable;
struct TProtocolLoad;

// Loads a protocol in any accepted form for a command without touching the
// file (older forms are converted in a copy in the temporary folder, named
// after the command). kCliOk, or kCliUsage after the message on err.
int LoadProtocolForCli(const std::string& command, const std::string& in,
                       const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                       TProtocolLoad& info, std::ostream& err);

// The same, with the copy of an older form at work (removed afterwards).
int LoadProtocolCopy(const std::string& in, const std::string& work,
                     const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                     TProtocolLoad& info, std::ostream& err);

} // namespace vaskel
