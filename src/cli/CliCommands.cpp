#include "cli/CliCommands.h"

#include "analysis/DetailAnalysis.h"
#include "cli/AutonomousCommand.h"
#include "cli/CliFiles.h"
#include "cli/ScratchFiles.h"
#include "cli/ComposeCommand.h"
#include "cli/FilterCommand.h"
#include "cli/FirmwareCommand.h"
#ifdef VASKEL_HAVE_IMPORT
#include "cli/ImportCommand.h"
#endif
#include "cli/CatalogueCommand.h"
#include "cli/Json.h"
#include "cli/SimulateCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UsbCommand.h"
#include "emulator/VirtualTavrin.h"
#include "link/DeviceProtocol.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "shell/Environment.h"
#include "shell/Timers.h"
#include "shell/Version.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>
#include <thread>

#ifndef VASKEL_SOURCE_DATA_DIR
#define VASKEL_SOURCE_DATA_DIR ""
#endif

namespace vaskel {

namespace {

const char* const kMainUsage =
    "Usage: vaskel-cli COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "The headless companion of Vaskel, the IBIS bus monitor and simulator.\n"
    "\n"
    "Commands:\n"
    "  classify   classify telegrams against the record-type catalogue\n"
    "  checkbyte  print the IBIS check byte of a telegram text\n"
    "  decode     decode a raw byte stream from the device\n"
    "  emulate    run the virtual Tavrin and write its byte stream\n"
    "  record     record a raw byte stream into a protocol file\n"
    "  reanalyse  load a protocol in any form, analyse it again, write it\n"
    "  analyse    print the detail analysis of protocol rows\n"
    "  responses  build a response list from a protocol\n"
    "  simulate   run a call list or a protocol on the virtual Tavrin as bus master\n"
    "  compose    compose a destination-display telegram (021, 003a, 003c, 004c, 021a)\n"
    "  decompose  take a destination-display telegram apart into its lines\n"
    "  convert    a number in decimal, hexadecimal and IBIS-hex notation\n"
    "  stats      print the figures of a protocol as JSON\n"
    "  filter     write the rows of a protocol that a filter choice shows\n"
    "  firmware   check a firmware file for the Tavrin, or upload it\n"
    "  catalogue  check a record-type catalogue as the editor does before saving\n"
    "  autonomous the Tavrin's recording without a PC: status, start, stop, read\n"
    "  print      write the printout of a protocol as a PDF\n"
    "  import     convert a table of Vaskel 1.x (.DB) into a list or protocol file\n"
    "  usb        list the Tavrins the system's libusb finds\n"
    "\n"
    "Run 'vaskel-cli COMMAND --help' for the options of a command,\n"
    "'vaskel-cli --version' for the version.\n"
    "\n"
    "Exit status, the same for every command:\n"
    "  0  done\n"
    "  1  the command ran, and what it checked or asked for is not so: a firmware\n"
    "     file or catalogue with faults, no device answers, the device says no\n"
    "  2  the command could not do its work: an unknown option, a refused value\n"
    "     (the message names it), an input that cannot be read or is not what the\n"
    "     command takes, an output that cannot be written\n"
    "Notes on what a command left out or changed go to the standard error stream\n"
    "and do not change the exit status.\n";

const char* const kClassifyUsage =
    "Usage: vaskel-cli classify [--slave] [--train-bus] [--catalogue FILE] TELEGRAM...\n"
    "\n"
    "Classifies each TELEGRAM (entry notation: <CR>, <LF>, <$XX> and umlauts\n"
    "stand for their bytes) and prints one JSON object per line with the\n"
    "fields of the classification.\n"
    "\n"
    "Options:\n"
    "  --slave           classify as slave answers (default: master telegrams)\n"
    "  --train-bus       use the train-bus record types (default: vehicle bus)\n"
    "  --catalogue FILE  record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  -h, --help        show this help\n";

const char* const kCheckbyteUsage =
    "Usage: vaskel-cli checkbyte TEXT\n"
    "\n"
    "Prints the IBIS check byte of TEXT (entry notation, without CR) as two\n"
    "upper-case hex digits.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

const char* const kDecodeUsage =
    "Usage: vaskel-cli decode [--master-mode] [--chunk N] FILE|-\n"
    "\n"
    "Feeds a raw device-to-PC byte stream (FILE, or standard input for -)\n"
    "through the device stream decoder, as if the link had just come up, in\n"
    "chunks of N bytes, and prints one JSON object per notification.\n"
    "\n"
    "Options:\n"
    "  --master-mode  decode as while the device is bus master\n"
    "  --chunk N      chunk size in bytes (default 64)\n"
    "  -h, --help     show this help\n";

const char* const kEmulateUsage =
    "Usage: vaskel-cli emulate [--scenario NAME] [--seconds N] [--seed S]\n"
    "                          [--fault-rate R] [--speed X] [--with-status]\n"
    "\n"
    "Runs the virtual Tavrin on its simulated vehicle bus and writes the raw\n"
    "device-to-PC byte stream to standard output, for example into\n"
    "'vaskel-cli decode -'.\n"
    "\n"
    "Options:\n"
    "  --scenario NAME  vehicle (default: a bus with its on-board computer),\n"
    "                   idle (powered bus without a master), unpowered\n"
    "  --seconds N      simulated bus time in seconds (default 10)\n"
    "  --seed S         seed of the simulation (default 1): the same seed gives\n"
    "                   the same traffic\n"
    "  --fault-rate R   share of telegrams with a fault, 0 to 1 (default 0.01)\n"
    "  --speed X        X times real time (default: as fast as possible)\n"
    "  --with-status    poll the device status every second (0xA0) and include\n"
    "                   its replies\n"
    "  -h, --help       show this help\n";

const char* const kRecordUsage =
    "Usage: vaskel-cli record [--start-time HH:MM:SS,zzz] [--date DD.MM.YYYY]\n"
    "                         [--master-mode] [--catalogue FILE] [--train-bus]\n"
    "                         STREAM OUT.PRO.CSV\n"
    "\n"
    "Decodes a raw device-to-PC byte stream (a file, or - for standard input)\n"
    "and records it as the live monitor does into the protocol OUT.PRO.CSV.\n"
    "\n"
    "Options:\n"
    "  --start-time T   PC time of the first telegram (default: now); the same\n"
    "                   time gives the same protocol\n"
    "  --date D         date of the recording (default: today)\n"
    "  --master-mode    the device was bus master\n"
    "  --catalogue FILE record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  --train-bus      use the train-bus record types\n"
    "  -h, --help       show this help\n";

const char* const kReanalyseUsage =
    "Usage: vaskel-cli reanalyse [--catalogue FILE] [--train-bus] IN.PRO.CSV OUT.PRO.CSV\n"
    "\n"
    "Loads a protocol in any accepted form (older comma and unquoted forms\n"
    "included), analyses every row again and writes it in the current form.\n"
    "IN is read, never written.\n"
    "\n"
    "Options:\n"
    "  --catalogue FILE record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  --train-bus      use the train-bus record types\n"
    "  -h, --help       show this help\n";

const char* const kAnalyseUsage =
    "Usage: vaskel-cli analyse [--catalogue FILE] [--train-bus] IN.PRO.CSV ROW...\n"
    "\n"
    "Prints the detail analysis of each ROW (the number in the protocol's\n"
    "\"Nr.\" column, 1 for the first row): the destination texts of a 021,\n"
    "the display texts of a 003a or 003c, the error analysis of a row with\n"
    "errors, the general analysis of any other row. One line of the analysis\n"
    "a line of output, its fields apart by \" | \". IN is read, never written.\n"
    "\n"
    "Options:\n"
    "  --catalogue FILE record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  --train-bus      use the train-bus record types\n"
    "  -h, --help       show this help\n";

const char* const kResponsesUsage =
    "Usage: vaskel-cli responses [--catalogue FILE] [--train-bus] IN.PRO.CSV OUT.ANT.CSV\n"
    "\n"
    "Builds a response list from a recorded protocol: for every prefix and\n"
    "address of its master telegrams the first error-free answer recorded\n"
    "after one, with a reaction time of 1 ms.\n"
    "\n"
    "Options:\n"
    "  --catalogue FILE record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  --train-bus      use the train-bus record types\n"
    "  -h, --help       show this help\n";

bool IsHelp(const std::string& a) {
    return a == "-h" || a == "--help";
}

int Usage(std::ostream& err, const char* usage, const std::string& problem) {
    err << "vaskel-cli: " << problem << "\n\n" << usage;
    return kCliUsage;
}

// Terminal text (UTF-8) to telegram bytes.
std::string EntryArgumentToTelegram(const std::string& arg) {
    return DisplayToTelegram(Utf8ToCp1252(arg));
}

int RunClassify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& defaultCatalogue) {
    bool master = true;
    TBusType bus = TBusType::bsVehicleBus;
    std::string catalogue = defaultCatalogue;
    std::vector<std::string> telegrams;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelp(a)) {
            out << kClassifyUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--slave") {
            master = false;
        } else if (!onlyOperands && a == "--train-bus") {
            bus = TBusType::bsTrainBus;
        } else if (!onlyOperands && (a == "--catalogue" || a.rfind("--catalogue=", 0) == 0)) {
            if (a == "--catalogue") {
                if (k + 1 >= args.size())
                    return Usage(err, kClassifyUsage, "--catalogue needs a file name");
                catalogue = args[++k];
            } else {
                catalogue = a.substr(std::string("--catalogue=").size());
            }
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Usage(err, kClassifyUsage, "unknown option " + a);
        } else {
            telegrams.push_back(a);
        }
    }
    if (telegrams.empty()) return Usage(err, kClassifyUsage, "no telegram given");
    const auto parser = OpenCatalogue(catalogue, err);
    if (!parser) return kCliUsage;
    TTelegramRecord r;
    for (const std::string& t : telegrams) {
        parser->Classify(EntryArgumentToTelegram(t), master, bus, r);
        out << TelegramRecordToJson(r) << "\n";
    }
    return kCliOk;
}

int RunCheckbyte(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelp(a)) {
            out << kCheckbyteUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--")
            onlyOperands = true;
        else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-')
            return Usage(err, kCheckbyteUsage, "unknown option " + a);
        else
            operands.push_back(a);
    }
    if (operands.size() != 1) return Usage(err, kCheckbyteUsage, "exactly one TEXT is needed");
    out << StrToHexDump(std::string(1, CalcCheckByte(EntryArgumentToTelegram(operands[0]))), false)
        << "\n";
    return kCliOk;
}

// Prints every decoder result as one JSON line; records are released
// (Ready cleared) once printed.
class TJsonDecoderSink : public IDecoderSink {
public:
    explicit TJsonDecoderSink(std::ostream& out) : FOut(out) {}
    TStreamDecoder* Decoder = nullptr;

    void MasterTelegramm(uint8_t index, const TTelegramm& r) override {
        Record("master", index, r);
        Decoder->ReleaseMaster(index);
    }
    void SlaveTelegramm(uint8_t index, const TTelegramm& r) override {
        Record("slave", index, r);
        Decoder->ReleaseSlave(index);
    }
    void StatusByte(uint8_t status) override {
        FOut << "{\"event\":\"status\",\"value\":" << static_cast<unsigned>(status) << "}\n";
    }
    void VersionReceived(const std::string& v) override {
        FOut << "{\"event\":\"version\",\"text\":" << JsonByteString(v) << "}\n";
    }
    void DeviceTextReceived(const std::string& t) override {
        FOut << "{\"event\":\"devicetext\",\"text\":" << JsonByteString(t) << "}\n";
    }
    void UploadReplyReceived(TUploadReplyStatus r) override {
        FOut << "{\"event\":\"upload\",\"reply\":\""
             << (r == TUploadReplyStatus::urGoAhead ? "urGoAhead" : "urNotEnoughMenory") << "\"}\n";
    }
    void RecordCountReceived(uint32_t c) override {
        FOut << "{\"event\":\"recordcount\",\"value\":" << c << "}\n";
    }

private:
    void Record(const char* kind, uint8_t index, const TTelegramm& r) {
        FOut << "{\"event\":\"" << kind << "\",\"index\":" << static_cast<unsigned>(index)
             << ",\"StartTicks\":" << r.StartTicks << ",\"EndTicks\":" << r.EndTicks
             << ",\"ErrorFlags\":\"" << ErrorFlagLetters(r.ErrorFlags)
             << "\",\"Text\":" << JsonByteString(r.Text)
             << ",\"Check\":" << static_cast<unsigned>(r.Check)
             << ",\"SentByDevice\":" << (r.SentByDevice ? "true" : "false") << "}\n";
    }
    std::ostream& FOut;
};

int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              std::istream& in) {
    bool master = false;
    long chunk = 64;
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelp(a)) {
            out << kDecodeUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--master-mode") {
            master = true;
        } else if (!onlyOperands && (a == "--chunk" || a.rfind("--chunk=", 0) == 0)) {
            std::string v;
            if (a == "--chunk") {
                if (k + 1 >= args.size()) return Usage(err, kDecodeUsage, "--chunk needs a number");
                v = args[++k];
            } else {
                v = a.substr(8);
            }
            char* end = nullptr;
            chunk = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || chunk < 1)
                return Usage(err, kDecodeUsage, "--chunk needs a positive number, not " + v);
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a != "-") {
            return Usage(err, kDecodeUsage, "unknown option " + a);
        } else {
            operands.push_back(a);
        }
    }
    if (operands.size() != 1) return Usage(err, kDecodeUsage, "exactly one FILE (or -) is needed");
    if (!FilesUsable({{"stream", operands[0]}}, {}, err)) return kCliFailure;

    std::ifstream file;
    std::istream* src = &in;
    if (operands[0] != "-") {
        file.open(operands[0], std::ios::binary);
        if (!file) {
            err << "vaskel-cli: cannot read " << operands[0] << "\n";
            return kCliFailure;
        }
        src = &file;
    }
    TJsonDecoderSink sink(out);
    TStreamDecoder decoder(sink);
    sink.Decoder = &decoder;
    decoder.SetState(TDecoderState::Idle);
    decoder.SetMasterMode(master);
    std::string buf(static_cast<std::size_t>(chunk), '\0');
    while (*src) {
        src->read(buf.data(), static_cast<std::streamsize>(buf.size()));
        const auto n = src->gcount();
        if (n > 0) decoder.Decode(std::string_view(buf.data(), static_cast<std::size_t>(n)));
    }
    return kCliOk;
}

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    // "nan" and "inf" are no values of any option
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

int RunEmulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TEmulatorOptions options;
    options.FaultRate = 0.01;
    double seconds = 10, speed = 0;
    bool withStatus = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (IsHelp(a)) {
            out << kEmulateUsage;
            return kCliOk;
        }
        if (a == "--with-status") {
            withStatus = true;
            continue;
        }
        std::string name = a, value;
        if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else if (a.rfind("--", 0) == 0) {
            if (k + 1 >= args.size()) return Usage(err, kEmulateUsage, a + " needs a value");
            value = args[++k];
        } else {
            return Usage(err, kEmulateUsage, "unexpected argument " + a);
        }
        double number = 0;
        if (name == "--scenario") {
            if (!ParseScenario(value, options.Scenario))
                return Usage(err, kEmulateUsage, "unknown scenario " + value);
        } else if (name == "--seconds") {
            if (!ParseNumber(value, seconds) || seconds < 0)
                return Usage(err, kEmulateUsage, "--seconds needs a number >= 0, not " + value);
        } else if (name == "--seed") {
            if (!ParseNumber(value, number) || number < 0 || number > 4294967295.0)
                return Usage(err, kEmulateUsage, "--seed needs a number, not " + value);
            options.Seed = static_cast<uint32_t>(number);
        } else if (name == "--fault-rate") {
            if (!ParseNumber(value, number) || number < 0 || number > 1)
                return Usage(err, kEmulateUsage,
                             "--fault-rate needs a number from 0 to 1, not " + value);
            options.FaultRate = number;
        } else if (name == "--speed") {
            if (!ParseNumber(value, speed) || speed <= 0)
                return Usage(err, kEmulateUsage, "--speed needs a number > 0, not " + value);
        } else {
            return Usage(err, kEmulateUsage, "unknown option " + name);
        }
    }
    TVirtualTavrin device(options);
    const double stepMs = 100;
    const auto begin = std::chrono::steady_clock::now();
    double done = 0, sinceStatus = 1000;
    while (done < seconds * 1000) {
        const double step = std::min(stepMs, seconds * 1000 - done);
        if (withStatus && sinceStatus >= 1000) {
            device.FromPC(Cmd::StatusRequest());
            sinceStatus = 0;
        }
        device.AdvanceMs(step);
        done += step;
        sinceStatus += step;
        const std::string bytes = device.TakeOutput();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (speed > 0) {
            const auto due = begin + std::chrono::duration<double, std::milli>(done / speed);
            std::this_thread::sleep_until(due);
            out.flush();
        }
    }
    out.flush();
    return kCliOk;
}

} // namespace

std::string ParseClassifyOptions(const std::vector<std::string>& args,
                                 const std::vector<std::string>& valued,
                                 const std::vector<std::string>& flags, TClassifyOptions& o) {
    auto isIn = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (onlyOperands || a == "-" || a.rfind("-", 0) != 0) {
            o.Operands.push_back(a);
            continue;
        }
        if (IsHelp(a)) return "help";
        if (a == "--") {
            onlyOperands = true;
            continue;
        }
        std::string name = a, value;
        const auto eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        if (name == "--train-bus" && eq == std::string::npos) {
            o.Bus = TBusType::bsTrainBus;
        } else if (isIn(flags, name) && eq == std::string::npos) {
            o.Flags.push_back(name);
        } else if (name == "--catalogue" || isIn(valued, name)) {
            if (eq == std::string::npos) {
                if (k + 1 >= args.size()) return name + " needs a value";
                value = args[++k];
            }
            if (name == "--catalogue")
                o.Catalogue = value;
            else
                o.Valued.push_back({name, value});
        } else {
            return "unknown option " + a;
        }
    }
    return "";
}

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

int RunRecord(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              std::istream& in, const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem =
        ParseClassifyOptions(args, {"--start-time", "--date"}, {"--master-mode"}, o);
    if (problem == "help") {
        out << kRecordUsage;
        return kCliOk;
    }
    if (!problem.empty()) return Usage(err, kRecordUsage, problem);
    if (o.Operands.size() != 2) return Usage(err, kRecordUsage, "STREAM and OUT are needed");
    if (!FilesUsable({{"stream", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    int64_t start = -1;
    for (const auto& [name, value] : o.Valued) {
        if (name == "--start-time" && !ParseStartTime(value, start))
            return Usage(err, kRecordUsage, "--start-time needs HH:MM:SS,zzz, not " + value);
        if (name == "--date" && !ParseDate(value))
            return Usage(err, kRecordUsage, "--date needs DD.MM.YYYY, not " + value);
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

// Loads a protocol in any accepted form. The older forms are loaded from a
// copy (work), so that their conversions never touch the file itself; a
// protocol in the current form is never written by loading and is read
// where it is. Returns kCliOk, or kCliUsage after the message.
int LoadProtocolCopy(const std::string& in, const std::string& work,
                     const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                     TProtocolLoad& info, std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(in, ec)) {
        err << "vaskel-cli: " << Cp1252ToUtf8(kProtocolLoadError) << "\n";
        return kCliUsage;
    }
    // What no form fits is refused from the first row, before anything is
    // copied or read further.
    auto refuse = [&](const std::string& what) {
        err << "vaskel-cli: "
            << Cp1252ToUtf8(what == kInvalidProtocolFormat || what == kDoubtfulProtocolForm
                                ? what
                                : std::string(kProtocolLoadError) + " (" + what + ")")
            << "\n";
        return kCliUsage;
    };
    bool current = false;
    try {
        current = ProtocolFormOfFile(in) == TProtocolForm::Current;
    } catch (const EVaskelError& e) {
        return refuse(e.what());
    }
    const std::string& source = current ? in : work;
    // the copy goes however the command ends
    std::optional<TScratchFile> scratch;
    if (!current) scratch.emplace(work);
    if (!current)
        std::filesystem::copy_file(in, work, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        err << "vaskel-cli: cannot write " << work << "\n";
        return kCliUsage;
    }
    int rc = kCliOk;
    try {
        info = LoadProtocolFile(table, source, parser, bus);
        if (info.Incomplete) {
            // a protocol cut short is no protocol to go on with
            err << "vaskel-cli: " << in << ": the row in line " << info.UnreadFromLine
                << " has a quote that is never closed, so nothing from there on can be read ("
                << info.RowsRead << " rows before it could); nothing was written\n";
            rc = kCliUsage;
        }
    } catch (const EVaskelError& e) {
        rc = refuse(e.what());
    }
    if (!current) {
        std::filesystem::remove(work, ec);
        std::filesystem::remove(BackupFileName(work), ec);
    }
    return rc;
}

int RunReanalyse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") {
        out << kReanalyseUsage;
        return kCliOk;
    }
    if (!problem.empty()) return Usage(err, kReanalyseUsage, problem);
    if (o.Operands.size() != 2) return Usage(err, kReanalyseUsage, "IN and OUT are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc = LoadProtocolCopy(o.Operands[0], o.Operands[1] + ".vaskel-in", *parser, o.Bus,
                                        table, info, err);
        rc != kCliOk)
        return rc;
    try {
        if (!info.Reanalysed) Reanalyse(table, *parser, o.Bus);
        SaveToCSV(table, o.Operands[1], '"', 0, std::nullopt, ';');
    } catch (const EVaskelError&) {
        err << "vaskel-cli: cannot write " << o.Operands[1] << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

const char* DetailKindName(TDetailKind kind) {
    switch (kind) {
    case TDetailKind::DS021:
        return "021";
    case TDetailKind::DS003a:
        return "003a";
    case TDetailKind::DS003c:
        return "003c";
    case TDetailKind::Error:
        return "error";
    case TDetailKind::General:
        return "general";
    case TDetailKind::None:
        break;
    }
    return "none";
}

int RunAnalyse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") {
        out << kAnalyseUsage;
        return kCliOk;
    }
    if (!problem.empty()) return Usage(err, kAnalyseUsage, problem);
    if (o.Operands.size() < 2) return Usage(err, kAnalyseUsage, "IN and a ROW are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {}, err)) return kCliUsage;
    std::vector<int> rows;
    for (std::size_t k = 1; k < o.Operands.size(); ++k) {
        int64_t row = 0;
        if (!TryStrToInt64(o.Operands[k], row) || row < 1 || row > 100000000)
            return Usage(err, kAnalyseUsage, "not a row number: " + o.Operands[k]);
        rows.push_back(static_cast<int>(row));
    }
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc =
            LoadProtocolForCli("analyse", o.Operands[0], *parser, o.Bus, table, info, err);
        rc != kCliOk)
        return rc;
    TDetailOptions options;
    options.Bus = o.Bus;
    int rc = kCliOk;
    for (const int row : rows) {
        if (row > table.RowCount()) {
            err << "vaskel-cli: row " << row << " is not in the protocol (" << table.RowCount()
                << " rows)\n";
            rc = kCliUsage;
            continue;
        }
        const TDetailKind kind = DetailKindOf(table, row - 1);
        out << "row " << row << ": " << DetailKindName(kind) << "\n";
        try {
            const TDetailContent content =
                BuildDetailAnalysis(kind, table, row - 1, *parser, options);
            for (const auto& line : content.Lines) {
                std::string text;
                for (const TDetailItem& item : line) {
                    const std::string t = item.Text();
                    if (t.empty()) continue;
                    if (!text.empty()) text += " | ";
                    text += t;
                }
                if (!text.empty()) out << "  " << Cp1252ToUtf8(text) << "\n";
            }
        } catch (const EVaskelError& e) {
            // the analysis's own words, as the panel shows them
            std::string text = e.what();
            for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;)
                text.replace(p, 2, " ");
            err << "vaskel-cli: row " << row << ": " << Cp1252ToUtf8(text) << "\n";
            if (rc == kCliOk) rc = kCliFailure;
        }
    }
    return rc;
}

int RunResponses(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") {
        out << kResponsesUsage;
        return kCliOk;
    }
    if (!problem.empty()) return Usage(err, kResponsesUsage, problem);
    if (o.Operands.size() != 2) return Usage(err, kResponsesUsage, "IN and OUT are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeResponseListTable();
    try {
        if (ResponseListFromProtocol(o.Operands[0], *parser, o.Bus, table) == 0) {
            err << "vaskel-cli: " << Cp1252ToUtf8(kResponsesFromProtocolNone) << "\n";
            return kCliUsage;
        }
        SaveListFile(table, o.Operands[1], TListKind::Antwort);
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

} // namespace

std::string TelegramRecordToJson(const TTelegramRecord& r) {
    std::string s = "{";
    auto text = [&](const char* name, const std::string& v) {
        if (s.size() > 1) s += ',';
        s += '"';
        s += name;
        s += "\":";
        s += JsonByteString(v);
    };
    auto flag = [&](const char* name, bool v) {
        s += ",\"";
        s += name;
        s += "\":";
        s += v ? "true" : "false";
    };
    text("RecordNo", r.RecordNo);
    text("Pattern", r.Pattern);
    text("PatternText", r.PatternText);
    text("Description", r.Description);
    text("Example", r.Example);
    text("Answers", r.Answers);
    text("Telegram", r.Telegram);
    text("Prefix", r.Prefix);
    text("Address", r.Address);
    text("CRText", r.CRText);
    text("CheckByte", r.CheckByte);
    text("DataText", r.DataText);
    text("RestText", r.RestText);
    text("Data", r.Data);
    text("Rest", r.Rest);
    flag("TrainBus", r.TrainBus);
    flag("Master", r.Master);
    flag("Filter", r.Filter);
    flag("ExactMatch", r.ExactMatch);
    flag("RoleAsExpected", r.RoleAsExpected);
    s += ",\"MatchedLength\":" + std::to_string(r.MatchedLength) + "}";
    return s;
}

std::string FindShippedCatalogue(const std::string& programDir) {
    namespace fs = std::filesystem;
    const fs::path dir(programDir);
    for (const fs::path& p :
         {dir / "data" / "IBIS.CSV", dir / ".." / "share" / "vaskel" / "IBIS.CSV",
          fs::path(VASKEL_SOURCE_DATA_DIR) / "IBIS.CSV"}) {
        std::error_code ec;
        if (!p.empty() && fs::is_regular_file(p, ec)) return p.string();
    }
    return {};
}

// The print command, when the program has it.
namespace {
TCliCommand GPrintCommand = nullptr;
} // namespace

void SetPrintCommand(TCliCommand command) {
    GPrintCommand = command;
}

int RunPrintCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const std::string& defaultCatalogue) {
    if (!GPrintCommand) {
        err << "vaskel-cli: print is not available in this build (it was built without QtGui)\n";
        return kCliUsage;
    }
    return GPrintCommand(args, out, err, defaultCatalogue);
}

int LoadProtocolForCli(const std::string& command, const std::string& in,
                       const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                       TProtocolLoad& info, std::ostream& err) {
    return LoadProtocolCopy(in, ScratchProtocolName(command), parser, bus, table, info, err);
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::string& defaultCatalogue, std::istream& in) {
    if (args.empty()) {
        err << kMainUsage;
        return kCliUsage;
    }
    const std::string& cmd = args[0];
    if (IsHelp(cmd)) {
        out << kMainUsage;
        return kCliOk;
    }
    if (cmd == "--version") {
        out << "vaskel-cli " << kVaskelVersion << "\n";
        return kCliOk;
    }
    if (cmd == "classify") return RunClassify(args, out, err, defaultCatalogue);
    if (cmd == "checkbyte") return RunCheckbyte(args, out, err);
    if (cmd == "decode") return RunDecode(args, out, err, in);
    if (cmd == "emulate") return RunEmulate(args, out, err);
    if (cmd == "record") return RunRecord(args, out, err, in, defaultCatalogue);
    if (cmd == "reanalyse") return RunReanalyse(args, out, err, defaultCatalogue);
    if (cmd == "responses") return RunResponses(args, out, err, defaultCatalogue);
    if (cmd == "analyse") return RunAnalyse(args, out, err, defaultCatalogue);
    if (cmd == "simulate") return RunSimulate(args, out, err, defaultCatalogue);
    if (cmd == "compose") return RunCompose(args, out, err);
    if (cmd == "decompose") return RunDecompose(args, out, err);
    if (cmd == "convert") return RunConvert(args, out, err);
    if (cmd == "stats") return RunStats(args, out, err, defaultCatalogue);
    if (cmd == "filter") return RunFilter(args, out, err, defaultCatalogue);
    if (cmd == "firmware") return RunFirmware(args, out, err);
    if (cmd == "catalogue") return RunCatalogue(args, out, err, defaultCatalogue);
    if (cmd == "autonomous") return RunAutonomous(args, out, err, defaultCatalogue);
#ifdef VASKEL_HAVE_IMPORT
    if (cmd == "import") return RunImport(args, out, err, defaultCatalogue);
#else
    if (cmd == "import") {
        err << "vaskel-cli: import is not available in this build (it was built without pxlib)\n";
        return 2;
    }
#endif
    if (cmd == "usb") return RunUsb(args, out, err, SystemUsbApi());
    if (cmd == "print") return RunPrintCommand(args, out, err, defaultCatalogue);
    return Usage(err, kMainUsage, "unknown command " + cmd);
}

} // namespace vaskel
