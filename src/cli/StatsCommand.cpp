#include "cli/StatsCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliFiles.h"
#include "cli/Json.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

#include <charconv>
#include <ostream>

namespace vaskel {

namespace {

std::string Number(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    std::string s(buf, r.ptr);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s.empty() ? "0" : s;
}

} // namespace

std::string StatisticsToJson(const TProtocolStatistics& s, int bucketSeconds) {
    std::string j = "{\"rows\": " + std::to_string(s.Rows());
    j += ", \"masterRows\": " + std::to_string(s.MasterRows());
    j += ", \"slaveRows\": " + std::to_string(s.SlaveRows());
    j += ", \"unpairedAnswers\": " + std::to_string(s.UnpairedAnswers());
    j += ", \"recordTypes\": {";
    bool first = true;
    for (const auto& [no, t] : s.RecordTypes()) {
        if (!first) j += ", ";
        first = false;
        j += JsonByteString(no) + ": {\"count\": " + std::to_string(t.Count) + ", \"errors\": {";
        for (std::size_t k = 0; k < kStatisticsErrorLetters.size(); ++k) {
            if (k) j += ", ";
            j += std::string("\"") + kStatisticsErrorLetters[k] + "\": " + std::to_string(t.Errors[k]);
        }
        j += "}, \"rowsWithErrors\": " + std::to_string(t.RowsWithErrors) + "}";
    }
    j += "}, \"addresses\": {";
    first = true;
    for (const auto& [address, a] : s.Addresses()) {
        if (!first) j += ", ";
        first = false;
        const TReactionTimes& r = a.Reaction;
        j += "\"" + std::to_string(address) + "\": {\"requests\": " + std::to_string(a.Requests) +
             ", \"answers\": " + std::to_string(a.Answers) +
             ", \"unanswered\": " + std::to_string(a.Unanswered()) +
             ", \"invalid\": " + std::to_string(a.Invalid) + ", \"reactionMs\": {\"count\": " +
             std::to_string(r.Count()) + ", \"min\": " + std::to_string(r.Min()) +
             ", \"median\": " + std::to_string(r.Percentile(50)) +
             ", \"p95\": " + std::to_string(r.Percentile(95)) +
             ", \"max\": " + std::to_string(r.Max()) + ", \"mean\": " + Number(r.Mean()) +
             ", \"histogram\": [";
        bool firstBucket = true;
        for (const auto& b : r.Histogram()) {
            if (!firstBucket) j += ", ";
            firstBucket = false;
            j += "[" + std::to_string(b.FromMs) + ", " + std::to_string(b.ToMs) + ", " +
                 std::to_string(b.Count) + "]";
        }
        j += "]}}";
    }
    const int width = bucketSeconds > 0 ? bucketSeconds : s.BucketSeconds();
    const auto line = s.Timeline(width);
    // the width the timeline really has (wider for times far apart)
    const int64_t used = line.size() > 1 ? (line[1].StartMs - line[0].StartMs) / 1000 : width;
    j += "}, \"timeline\": {\"bucketSeconds\": " + std::to_string(used) + ", \"buckets\": [";
    first = true;
    for (const auto& b : line) {
        if (!first) j += ", ";
        first = false;
        j += "{\"start\": \"" + StatisticsTimeText(b.StartMs) +
             "\", \"telegrams\": " + std::to_string(b.Telegrams) +
             ", \"charsPerSecond\": " + Number(b.CharsPerSecond) + ", \"load\": " + Number(b.Load) +
             ", \"errors\": " + std::to_string(b.Errors) + "}";
    }
    j += "]}}";
    return j;
}

std::vector<std::string> StatisticsNotes(const TProtocolStatistics& s, int bucketSeconds) {
    std::vector<std::string> notes;
    uint64_t timed = 0;
    for (const auto& [second, f] : s.Seconds())
        timed += f.Telegrams;
    if (timed < s.Rows())
        notes.push_back(std::to_string(s.Rows() - timed) + " of " + std::to_string(s.Rows()) +
                        " rows have no start time that can be read (a number of milliseconds) "
                        "and are left out of the timeline");
    if (s.Seconds().empty()) return notes;
    const int64_t first = s.Seconds().begin()->first, last = s.Seconds().rbegin()->first;
    if (first < 0 || last >= 86400)
        notes.push_back("start times from " + StatisticsTimeText(first * 1000) + " to " +
                        StatisticsTimeText(last * 1000) +
                        " lie outside one day (00:00:00 to 23:59:59); the timeline shows them "
                        "as they are");
    const int asked = bucketSeconds > 0 ? bucketSeconds : s.BucketSeconds();
    const auto line = s.Timeline(asked);
    const int64_t used = line.size() > 1 ? (line[1].StartMs - line[0].StartMs) / 1000 : asked;
    if (used != asked)
        notes.push_back("the timeline spans " + std::to_string(last - first + 1) +
                        " seconds: buckets of " + std::to_string(used) + " s are used, not " +
                        std::to_string(asked) + " s");
    if (line.size() > 10000)
        notes.push_back("the timeline has " + std::to_string(line.size()) + " buckets");
    return notes;
}

int RunStats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    auto usage = [&](const std::string& problem) {
        return RefuseUsage(StatsCommand(), err, problem);
    };
    const std::string problem = ParseClassifyOptions(args, {"--bucket-seconds"}, {}, o);
    if (problem == "help") return ShowHelp(StatsCommand(), out);
    if (!problem.empty()) return usage(problem);
    int bucketSeconds = 0;
    for (const auto& [name, v] : o.Valued) {
        int64_t n = 0;
        if (!TryStrToInt64(v, n) || n < 1 || n > 86400)
            return usage("--bucket-seconds takes 1 to 86400 seconds, not " + v);
        bucketSeconds = static_cast<int>(n);
    }
    const std::vector<std::string>& operands = o.Operands;
    const TBusType bus = o.Bus;
    const std::string& catalogue = o.Catalogue;
    if (operands.size() != 1) return usage("one protocol IN.PRO.CSV is needed");
    if (!FilesUsable({{"protocol", operands[0]}}, {}, err)) return kCliUsage;
    auto parser = OpenCatalogue(catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc = LoadProtocolForCli("stats", operands[0], *parser, bus, table, info, err);
        rc != kCliOk)
        return rc;
    // a protocol read as it was stored has its cells, not the recording's
    // pairing: restore it from the status cells
    if (!info.Reanalysed) RestoreRowObjects(table, *parser, bus);
    TProtocolStatistics s;
    s.Compute(table);
    out << StatisticsToJson(s, bucketSeconds) << "\n";
    for (const std::string& note : StatisticsNotes(s, bucketSeconds))
        err << "vaskel-cli: note: " << note << "\n";
    return kCliOk;
}

const TCliCommand& StatsCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "stats";
        c.Summary = "print the figures of a protocol as JSON";
        c.Synopsis = {"stats [--catalogue FILE] [--train-bus] [--bucket-seconds N] IN.PRO.CSV"};
        c.Description =
            "Prints the figures of a protocol as one JSON document: rows; per record type\n"
            "(its \"DS-Nr.\" cell as it stands, [..] for a faulty one) the count and the\n"
            "error letters F P S A T X; per display address (the address of the master\n"
            "telegrams that expect an answer) requests, answers, unanswered, invalid\n"
            "(\"ungueltig\") and the reaction times in ms (count, min, median, p95, max,\n"
            "mean, histogram [from, to, count] with 'from' included and 'to' not); the\n"
            "timeline in buckets (telegrams, characters per second, load against the\n"
            "bus's 109 characters a second, rows with errors). Percentiles are exact\n"
            "(nearest rank).\n";
        c.Options = {
            kCatalogueOption,
            {"--train-bus", "", "classify as on the train bus"},
            {"--bucket-seconds", "N",
             "width of the timeline's buckets, 1 to 86400 (default: from the recording's "
             "length, at most 120 buckets)"},
        };
        c.Run = [](const TCliCall& call) {
            return RunStats(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
