#pragma once
// vaskel-cli stats: the figures of a protocol as one JSON document.

#include "analysis/ProtocolStatistics.h"
#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& StatsCommand();

// args[0] is "stats".
int RunStats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::string& defaultCatalogue);

// The figures as one JSON document (one line). bucketSeconds <= 0: the
// width the recording's length gives.
std::string StatisticsToJson(const TProtocolStatistics& s, int bucketSeconds = 0);
// What the figures leave out or change, one line each for the standard
// error stream: rows without a start time the timeline can place, start
// times outside one day, a bucket width other than the one asked for, a
// timeline of very many buckets.
std::vector<std::string> StatisticsNotes(const TProtocolStatistics& s, int bucketSeconds = 0);

} // namespace vaskel
