#include "cli/DecodeCommand.h"

#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "cli/Json.h"
#include "link/DeviceProtocol.h"
#include "telegram/Errors.h"

#include <cstdlib>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>

namespace vaskel {

namespace {

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

int RunDecode(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const TCliCommand& command = DecodeCommand();
    bool master = false;
    long chunk = 64;
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArgument(a)) return ShowHelp(command, out);
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--master-mode") {
            master = true;
        } else if (!onlyOperands && (a == "--chunk" || a.rfind("--chunk=", 0) == 0)) {
            std::string v;
            if (a == "--chunk") {
                if (k + 1 >= args.size())
                    return RefuseUsage(command, err, "--chunk needs a number");
                v = args[++k];
            } else {
                v = a.substr(8);
            }
            char* end = nullptr;
            chunk = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || chunk < 1)
                return RefuseUsage(command, err, "--chunk needs a positive number, not " + v);
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a != "-") {
            return RefuseUsage(command, err, "unknown option " + a);
        } else {
            operands.push_back(a);
        }
    }
    if (operands.size() != 1) return RefuseUsage(command, err, "exactly one FILE (or -) is needed");
    if (!FilesUsable({{"stream", operands[0]}}, {}, err)) return kCliFailure;

    std::ifstream file;
    std::istream* src = &call.In;
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

} // namespace

const TCliCommand& DecodeCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "decode";
        c.Summary = "decode a raw byte stream from the device";
        c.Synopsis = {"decode [--master-mode] [--chunk N] FILE|-"};
        c.Description = "Feeds a raw device-to-PC byte stream (FILE, or standard input for -)\n"
                        "through the device stream decoder, as if the link had just come up, in\n"
                        "chunks of N bytes, and prints one JSON object per notification.\n";
        c.Options = {
            {"--master-mode", "", "decode as while the device is bus master"},
            {"--chunk", "N", "chunk size in bytes (default 64)"},
        };
        c.Run = RunDecode;
        return c;
    }();
    return command;
}

} // namespace vaskel
