#include "cli/AutonomousCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliFiles.h"
#include "emulator/VirtualUsb.h"
#include "link/AutonomousRecording.h"
#include "link/Controller.h"
#include "link/UsbTransport.h"
#include "recording/Recorder.h"
#include "shell/Environment.h"
#include "shell/SystemPlatform.h"
#include "shell/Timers.h"
#include "telegram/Cp1252.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

namespace vaskel {

namespace {

using namespace std::chrono_literals;

// The device on its link, the controller's notifications pumped by hand.
class TCliDevice {
public:
    explicit TCliDevice(UsbApi& api) {
        TUsbOptions uo;
        uo.ReadTimeoutMs = 50;
        uo.WatchIntervalMs = 200;
        FController = std::make_unique<TWBController>(
            std::make_unique<TUSB_Communication>(api, FHandOver, kTavrinVendorId,
                                                 kTavrinProductId, uo),
            FHandOver, [this](const TControllerNotification& n) { Notified(n); });
    }
    ~TCliDevice() { FController.reset(); }

    std::function<void(const TTelegramm&, char)> OnCapture;

    bool Send(const std::string& bytes) { return FController->SendRequest(bytes); }

    // Pumps notifications until done() holds or the time is up.
    template <typename F> bool WaitFor(F done, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            FHandOver.Pump();
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(5ms);
        }
    }
    // A fresh status byte.
    std::optional<uint8_t> Status() {
        FStatus.reset();
        Send(Cmd::StatusRequest());
        WaitFor([this] { return FStatus.has_value(); }, 2000ms);
        return FStatus;
    }
    // The record count, or nothing when the device does not answer 0xDD.
    std::optional<uint32_t> RecordCount() {
        FCount.reset();
        Send(Cmd::QueryRecordCount());
        WaitFor([this] { return FCount.has_value(); }, 1500ms);
        return FCount;
    }
    uint64_t Captures() const { return FCaptures; }
    std::chrono::steady_clock::time_point LastCapture() const { return FLastCapture; }

private:
    void Notified(const TControllerNotification& n) {
        switch (n.Msg) {
        case TControllerMessage::FMsgStatus:
            FStatus = static_cast<uint8_t>(n.WParam);
            break;
        case TControllerMessage::FMsgRecordCount:
            FCount = n.WParam;
            break;
        case TControllerMessage::FMsgMasterTelegramm:
        case TControllerMessage::FMsgSlaveTelegramm: {
            const bool master = n.Msg == TControllerMessage::FMsgMasterTelegramm;
            ++FCaptures;
            FLastCapture = std::chrono::steady_clock::now();
            if (OnCapture) OnCapture(n.Record, master ? 'M' : 'S');
            if (master)
                FController->ReleaseMasterRecord(static_cast<uint8_t>(n.WParam));
            else
                FController->ReleaseSlaveRecord(static_cast<uint8_t>(n.WParam));
            break;
        }
        default:
            break;
        }
    }

    TManualHandOver FHandOver;
    std::unique_ptr<TWBController> FController;
    std::optional<uint8_t> FStatus;
    std::optional<uint32_t> FCount;
    uint64_t FCaptures = 0;
    std::chrono::steady_clock::time_point FLastCapture = std::chrono::steady_clock::now();
};

void PrintState(std::ostream& out, uint8_t status, uint32_t count) {
    out << "autonomous recording: " << ((status & 0x01) ? "active" : "inactive") << "\n"
        << "data sets: " << count << "\n";
}

} // namespace

int RunAutonomous(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::string& defaultCatalogue) {
    auto usage = [&](const std::string& problem) {
        return RefuseUsage(AutonomousCommand(), err, problem);
    };
    if (args.size() >= 2 && IsHelpArgument(args[1])) return ShowHelp(AutonomousCommand(), out);
    if (args.size() < 2) return usage("an action is needed: status, start, stop, read, erase or format");
    const std::string action = args[1];
    if (action != "status" && action != "start" && action != "stop" && action != "read" &&
        action != "erase" && action != "format")
        return usage("unknown action " + action);

    bool virtualDevice = false;
    TScenario scenario = TScenario::Vehicle;
    double preRecorded = 0;
    std::vector<std::string> rest; // for read: the classifying options and OUT
    rest.push_back("autonomous");
    for (std::size_t k = 2; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (IsHelpArgument(a)) return ShowHelp(AutonomousCommand(), out);
        if (a == "--virtual-device") {
            virtualDevice = true;
        } else if (a.rfind("--virtual-device=", 0) == 0) {
            virtualDevice = true;
            if (!ParseScenario(a.substr(17), scenario))
                return usage("unknown scenario " + a.substr(17));
        } else if (a == "--virtual-recording") {
            if (k + 1 >= args.size()) return usage("--virtual-recording needs a number of seconds");
            char* end = nullptr;
            preRecorded = std::strtod(args[++k].c_str(), &end);
            if (!end || *end || preRecorded < 0 || preRecorded > 24 * 3600)
                return usage("--virtual-recording needs seconds from 0 to 86400, not " + args[k]);
        } else {
            rest.push_back(a);
        }
    }
    if (preRecorded > 0 && !virtualDevice)
        return usage("--virtual-recording needs --virtual-device");

    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    if (action == "read") {
        const std::string problem = ParseClassifyOptions(rest, {}, {}, o);
        if (!problem.empty() && problem != "help") return usage(problem);
        if (o.Operands.size() != 1) return usage("read needs OUT.PRO.CSV");
        if (!FilesUsable({}, {o.Operands[0]}, err)) return kCliUsage;
    } else if (rest.size() > 1) {
        return usage("unexpected argument " + rest[1]);
    }
    std::unique_ptr<TIBISTelegramParser> parser;
    if (action == "read") {
        parser = OpenCatalogue(o.Catalogue, err);
        if (!parser) return kCliUsage;
    }

    std::unique_ptr<TVirtualUsb> virtualUsb;
    if (virtualDevice) {
        TEmulatorOptions eo;
        eo.Scenario = scenario;
        virtualUsb = std::make_unique<TVirtualUsb>(eo);
        if (preRecorded > 0)
            virtualUsb->WithDevice([preRecorded](TVirtualTavrin& d) {
                // the device alone on its bus: what it reports goes nowhere
                d.FromPC(Cmd::AutonomousRecording(true));
                d.AdvanceMs(preRecorded * 1000);
                d.FromPC(Cmd::AutonomousRecording(false));
                d.FromPC(Cmd::StatusRequest()); // the restart mark is answered
                d.DropOutput();
            });
        virtualUsb->StartClock();
    }
    UsbApi& api = virtualUsb ? static_cast<UsbApi&>(*virtualUsb) : SystemUsbApi();

    TFixedSystemPlatform platform;
    std::error_code ec;
    platform.Program = (std::filesystem::current_path(ec) / "vaskel-cli").string();
    TEnvironment env(nullptr, platform);
    env.SetBusType(o.Bus);
    std::unique_ptr<TRecorder> recorder;
    if (parser) {
        TRecorder::THooks rh;
        rh.NowMsOfDay = [] { return TSystemClock().Now().MsOfDay(); };
        recorder = std::make_unique<TRecorder>(*parser, env, rh);
        recorder->SafetyCopy = false;
    }

    int code = kCliOk;
    {
        TCliDevice device(api);
        const std::optional<uint8_t> status = device.Status();
        if (!status) {
            err << "vaskel-cli: no Tavrin answers"
                << (virtualDevice ? "" : " (is it plugged in, and may this user use it?)") << "\n";
            return kCliFailure;
        }
        const std::optional<uint32_t> count = device.RecordCount();
        if (!count) {
            err << "vaskel-cli: " << Cp1252ToUtf8(AutonomousTexts::kModeUnavailable) << "\n";
            return kCliFailure;
        }
        if (action == "status") {
            PrintState(out, *status, *count);
        } else if (action == "start" || action == "stop") {
            const bool on = action == "start";
            device.Send(Cmd::AutonomousRecording(on));
            std::optional<uint8_t> now;
            const bool reached = device.WaitFor(
                [&] {
                    now = device.Status();
                    return now && ((*now & 0x01) != 0) == on;
                },
                3000ms);
            if (!reached || !now) {
                err << "vaskel-cli: the device did not switch its recording "
                    << (on ? "on" : "off") << "\n";
                return kCliFailure;
            }
            PrintState(out, *now, device.RecordCount().value_or(*count));
        } else if (action == "erase" || action == "format") {
            if (*status & 0x01) {
                err << "vaskel-cli: the device is recording; stop it first\n";
                return kCliFailure;
            }
            device.Send(action == "erase" ? Cmd::EraseRecordedData() : Cmd::FormatRecordingFlash());
            PrintState(out, *status, device.RecordCount().value_or(0));
        } else { // read
            if (*status & 0x01) {
                err << "vaskel-cli: the device is recording; stop it first\n";
                return kCliFailure;
            }
            const bool master = (*status & 0x80) != 0;
            device.OnCapture = [&](const TTelegramm& r, char source) {
                recorder->CopyTelegramm(r, source, master);
            };
            const uint64_t before = device.Captures();
            device.Send(Cmd::TransferRecordedData());
            // every data set, or a second without any
            device.WaitFor(
                [&] {
                    return device.Captures() - before >= *count ||
                           std::chrono::steady_clock::now() - device.LastCapture() > 1500ms;
                },
                std::chrono::milliseconds(5000 + static_cast<int64_t>(*count) * 20));
            const uint64_t got = device.Captures() - before;
            if (!recorder->SaveActiveProtocol(o.Operands[0], 0)) {
                err << "vaskel-cli: cannot write " << o.Operands[0] << "\n";
                return kCliUsage;
            }
            out << "data sets: " << *count << "\n"
                << "rows written: " << recorder->RowCounter() << "\n";
            if (got < *count) {
                err << "vaskel-cli: the device sent " << got << " of " << *count
                    << " data sets\n";
                code = kCliFailure;
            }
        }
    }
    return code;
}

const TCliCommand& AutonomousCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "autonomous";
        c.Summary = "the Tavrin's recording without a PC: status, start, stop, read";
        c.Synopsis = {
            "autonomous status|start|stop|erase|format [DEVICE OPTIONS]",
            "autonomous read [--catalogue FILE] [--train-bus] OUT.PRO.CSV [DEVICE OPTIONS]",
        };
        c.Description =
            "The Tavrin's recording without a PC. status prints whether the device\n"
            "supports it, whether it records and how many data sets it holds; start and\n"
            "stop switch recording on and off; read has the device send its recording\n"
            "and writes it as a protocol; erase deletes the recording, format formats\n"
            "the recording flash. Exit status 1 when no device answers or the device\n"
            "does not support autonomous recording.\n";
        auto action = [](const char* name, const char* summary, const char* synopsis) {
            TCliCommand a;
            a.Name = name;
            a.Summary = summary;
            a.Synopsis = {synopsis};
            return a;
        };
        TCliCommand read =
            action("read", "have the device send its recording and write it as a protocol",
                   "autonomous read [--catalogue FILE] [--train-bus] OUT.PRO.CSV [DEVICE OPTIONS]");
        read.Options = {
            kCatalogueOption,
            {"--train-bus", "", "classify as on the train bus (default: vehicle bus)"},
        };
        c.Subcommands = {
            action("status",
                   "whether the device supports it, records, and how many data sets it holds",
                   "autonomous status [DEVICE OPTIONS]"),
            action("start", "switch the recording on", "autonomous start [DEVICE OPTIONS]"),
            action("stop", "switch the recording off", "autonomous stop [DEVICE OPTIONS]"),
            read,
            action("erase", "delete the recording", "autonomous erase [DEVICE OPTIONS]"),
            action("format", "format the recording flash", "autonomous format [DEVICE OPTIONS]"),
        };
        c.Options = {
            {"--virtual-device", "SCENARIO",
             "the virtual Tavrin (vehicle, idle, unpowered) instead of the one on USB", true,
             "Device options"},
            {"--virtual-recording", "SECONDS",
             "the virtual Tavrin has recorded this many seconds of its bus alone before the "
             "command",
             false, "Device options"},
        };
        c.Run = [](const TCliCall& call) {
            return RunAutonomous(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
