#include "cli/RecordCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "link/DeviceProtocol.h"
#include "recording/Recorder.h"
#include "shell/Environment.h"
#include "shell/Timers.h"
#include "telegram/Cp1252.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>

namespace vaskel {

namespace {

bool ParseStartTime(const std::string& s, int64_t& ms) {
    int h = 0, n = 0, sec = 0, z = 0;
    char c1 = 0, c2 = 0, c3 = 0;
    if (std::sscanf(s.c_str(), "%2d%c%2d%c%2d%c%3d", &h, &c1, &n, &c2, &sec, &c3, &z) != 7 ||
        c1 != ':' || c2 != ':' || (c3 != ',' && c3 != '.') || h > 23 || n > 59 || sec > 59 ||
        h < 0 || n < 0 || sec < 0 || z < 0 || s.size() != 12)
        return false;
    ms = ((h * 60LL + n) * 60 + sec) * 1000 + z;
    return true;
}

bool ParseDate(const std::string& s) {
    int d = 0, m = 0, y = 0;
    char c1 = 0, c2 = 0;
    return std::sscanf(s.c_str(), "%2d%c%2d%c%4d", &d, &c1, &m, &c2, &y) == 5 && c1 == '.' &&
           c2 == '.' && d >= 1 && d <= 31 && m >= 1 && m <= 12 && s.size() == 10;
}

int RunRecord(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    std::istream& in = call.In;
    const std::string& defaultCatalogue = call.DefaultCatalogue;
    const TCliCommand& command = RecordCommand();
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem =
        ParseClassifyOptions(args, {"--start-time", "--date"}, {"--master-mode"}, o);
    if (problem == "help") return ShowHelp(command, out);
    if (!problem.empty()) return RefuseUsage(command, err, problem);
    if (o.Operands.size() != 2) return RefuseUsage(command, err, "STREAM and OUT are needed");
    if (!FilesUsable({{"stream", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    int64_t start = -1;
    for (const auto& [name, value] : o.Valued) {
        if (name == "--start-time" && !ParseStartTime(value, start))
            return RefuseUsage(command, err, "--start-time needs HH:MM:SS,zzz, not " + value);
        if (name == "--date" && !ParseDate(value))
            return RefuseUsage(command, err, "--date needs DD.MM.YYYY, not " + value);
    }
    if (start < 0) start = TSystemClock().Now().MsOfDay();
    const bool master = std::find(o.Flags.begin(), o.Flags.end(), "--master-mode") != o.Flags.end();
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;

    std::ifstream file;
    std::istream* src = &in;
    if (o.Operands[0] != "-") {
        file.open(o.Operands[0], std::ios::binary);
        if (!file) {
            err << "vaskel-cli: cannot read " << o.Operands[0] << "\n";
            return kCliUsage;
        }
        src = &file;
    }
    const TFixedSystemPlatform platform = ToolPlatform();
    TEnvironment env(nullptr, platform);
    env.SetBusType(o.Bus);
    TRecorder::THooks hooks;
    hooks.NowMsOfDay = [start] { return start; };
    bool saving = false;
    std::string saveTrace;
    hooks.Trace = [&err, &saving, &saveTrace](const std::string& s) {
        if (saving)
            saveTrace = s;
        else
            err << "vaskel-cli: " << Cp1252ToUtf8(s) << "\n";
    };
    TRecorder recorder(*parser, env, hooks);
    recorder.SafetyCopy = false;
    TCaptureSink sink([&](const TTelegramm& record, char source) {
        recorder.CopyTelegramm(record, source, master);
    });
    TStreamDecoder decoder(sink);
    sink.Decoder = &decoder;
    decoder.SetState(TDecoderState::Idle);
    decoder.SetMasterMode(master);
    std::string buf(64 * 1024, '\0');
    while (*src) {
        src->read(buf.data(), static_cast<std::streamsize>(buf.size()));
        const auto n = src->gcount();
        if (n > 0) decoder.Decode(std::string_view(buf.data(), static_cast<std::size_t>(n)));
    }
    saving = true;
    if (!recorder.SaveActiveProtocol(o.Operands[1], 0)) {
        // the recorder's trace names the method that failed: only its reason
        std::string reason = saveTrace;
        if (const auto p = reason.find("Exception:"); p != std::string::npos)
            reason.erase(0, p + 10);
        err << "vaskel-cli: cannot write " << o.Operands[1] << ": " << Cp1252ToUtf8(reason) << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

} // namespace

const TCliCommand& RecordCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "record";
        c.Summary = "record a raw byte stream into a protocol file";
        c.Synopsis = {"record [--start-time HH:MM:SS,zzz] [--date DD.MM.YYYY] [--master-mode] "
                      "[--catalogue FILE] [--train-bus] STREAM OUT.PRO.CSV"};
        c.Description = "Decodes a raw device-to-PC byte stream (a file, or - for standard input)\n"
                        "and records it as the live monitor does into the protocol OUT.PRO.CSV.\n";
        c.Options = {
            {"--start-time", "T",
             "PC time of the first telegram, HH:MM:SS,zzz (default: now); the same time gives "
             "the same protocol"},
            {"--date", "D", "date of the recording, DD.MM.YYYY (default: today)"},
            {"--master-mode", "", "the device was bus master"},
            kCatalogueOption,
            kTrainBusOption,
        };
        c.Run = RunRecord;
        return c;
    }();
    return command;
}

} // namespace vaskel
