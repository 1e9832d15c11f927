// vaskel-cli firmware upload: the upload window's engine without a window,
// on the Tavrin at the USB port (in real time) or on the virtual Tavrin (on
// bus time, as fast as the machine allows).

#include "cli/FirmwareUploadCommand.h"

#include "session/BusTimeSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "link/Controller.h"
#include "link/DeviceStatus.h"
#include "link/FirmwareUpload.h"
#include "link/UsbApi.h"
#include "link/UsbTransport.h"
#include "shell/Environment.h"
#include "shell/HandOver.h"
#include "shell/SystemPlatform.h"
#include "shell/Timers.h"
#include "telegram/Cp1252.h"
#include "telegram/TelegramParser.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <thread>

namespace vaskel {

namespace {

// What the upload needs around it: a device connection and time moving on.
class IUploadRig {
public:
    virtual ~IUploadRig() = default;
    virtual ITimerFactory& Timers() = 0;
    virtual TDeviceConnection& Connection() = 0;
    virtual TDeviceStatus& Status() = 0;
    virtual void ComTimer(bool run) = 0;
    virtual int64_t NowMs() = 0;
    // Lets ms of time pass, doing what comes due.
    virtual void Run(int64_t ms) = 0;
    std::function<void(TUploadReplyStatus)> OnUploadReply;
};

// The virtual Tavrin on bus time.
class TVirtualRig : public IUploadRig {
public:
    TVirtualRig(TEnvironment& env)
        : FParser(TProfileArray{}), FSim(FParser, env, TEmulatorOptions{}, TSystemClock().Now()) {
        FSim.OnUploadReply = [this](TUploadReplyStatus r) {
            if (OnUploadReply) OnUploadReply(r);
        };
    }
    ITimerFactory& Timers() override { return FSim.Timers(); }
    TDeviceConnection& Connection() override { return FSim.Connection(); }
    TDeviceStatus& Status() override { return FSim.Status(); }
    void ComTimer(bool run) override { FSim.ComTimer(run); }
    int64_t NowMs() override { return FSim.ElapsedMs(); }
    void Run(int64_t ms) override { FSim.Run(ms); }

private:
    TIBISTelegramParser FParser;
    TBusTimeSession FSim;
};

// The Tavrin at the USB port, in real time: the controller's thread and the
// transport's workers hand over to this thread, which runs the timers.
class TUsbRig : public IUploadRig {
public:
    explicit TUsbRig(TEnvironment& env) {
        FComTimer = FTime.CreateTimer();
        FComTimer->OnTimer = [this] { FConnection->StateChange(TDeviceConnection::eTimer); };
        TDeviceConnection::THooks h;
        h.CreateController = [this]() -> std::unique_ptr<TWBController> {
            try {
                return std::make_unique<TWBController>(
                    std::make_unique<TUSB_Communication>(SystemUsbApi(), FHandOver, kTavrinVendorId,
                                                         kTavrinProductId),
                    FHandOver, [this](const TControllerNotification& n) {
                        FConnection->HandleNotification(n);
                    });
            } catch (const std::exception&) {
                return nullptr;
            }
        };
        h.ComTimer = [this](bool run) { ComTimer(run); };
        h.NowMs = [this] { return NowMs(); };
        h.UploadReply = [this](TUploadReplyStatus r) {
            if (OnUploadReply) OnUploadReply(r);
        };
        FStart = std::chrono::steady_clock::now();
        FConnection = std::make_unique<TDeviceConnection>(env, FStatus, h);
        FConnection->StateChange(TDeviceConnection::eStart);
    }
    ~TUsbRig() override {
        FComTimer->Stop();
        FConnection.reset();
    }
    ITimerFactory& Timers() override { return FTime; }
    TDeviceConnection& Connection() override { return *FConnection; }
    TDeviceStatus& Status() override { return FStatus; }
    void ComTimer(bool run) override {
        if (!run)
            FComTimer->Stop();
        else if (!FComTimer->Running())
            FComTimer->Start(1000);
    }
    int64_t NowMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - FStart)
            .count();
    }
    void Run(int64_t ms) override {
        const int64_t until = NowMs() + ms;
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            FHandOver.Pump();
            const int64_t now = NowMs();
            if (now > FTime.Elapsed()) FTime.Advance(now - FTime.Elapsed());
        } while (NowMs() < until);
    }

private:
    TManualHandOver FHandOver;
    TManualTime FTime;
    TDeviceStatus FStatus;
    std::unique_ptr<ITimer> FComTimer;
    std::chrono::steady_clock::time_point FStart;
    std::unique_ptr<TDeviceConnection> FConnection; // last: its controller hands over above
};

std::string Utf8Lines(const std::string& cp1252) {
    const std::string s = Cp1252ToUtf8(cp1252);
    std::string lines;
    lines.reserve(s.size());
    for (std::size_t k = 0; k < s.size(); ++k)
        if (s[k] != '\r' || k + 1 >= s.size() || s[k + 1] != '\n') lines += s[k];
    return lines;
}

bool VersionKnown(const TDeviceStatus& s) {
    return s.DeviceOnline() && !s.HardwareRevision().empty() && s.HardwareRevision() != "unbekannt";
}

int Drive(IUploadRig& rig, const std::string& file, std::ostream& out, std::ostream& err) {
    // the device comes online and names its firmware
    for (int64_t waited = 0; !VersionKnown(rig.Status()) && waited < 5000; waited += 10)
        rig.Run(10);
    if (!rig.Status().DeviceOnline()) {
        err << "vaskel-cli: no Tavrin answers at the USB port\n";
        return kCliFailure;
    }
    out << "device firmware " << Cp1252ToUtf8(rig.Status().HardwareRevision()) << "\n";

    bool reported = false;
    int shownTenth = -1;
    TUploadState shownState = TUploadState::Ready;
    bool shownVerifying = false;
    TFirmwareUpload* engine = nullptr;
    TFirmwareUpload::THooks h;
    h.Send = [&rig](const std::string& bytes) { return rig.Connection().Send(bytes); };
    h.DeviceOnline = [&rig] { return rig.Status().DeviceOnline(); };
    h.DeviceVersion = [&rig] { return rig.Status().HardwareRevision(); };
    h.ComTimer = [&rig](bool run) { rig.ComTimer(run); };
    h.Reconnect = [&rig] { rig.Connection().ConnectDevice(); };
    h.NowMs = [&rig] { return rig.NowMs(); };
    h.DeviceMessage = [&out](const std::string& line) {
        // one line per block would drown the progress
        if (line.rfind("-- Requesting", 0) == 0) out << line.substr(3) << "\n";
    };
    h.Report = [&](const TUploadReport& r) {
        reported = true;
        err << "vaskel-cli: " << Utf8Lines(UploadReportText(r)) << "\n";
    };
    h.Changed = [&] {
        const TFirmwareUpload& u = *engine;
        if (u.State() == TUploadState::Transferring && u.SentBlocks() > 0 &&
            u.Progress() / 10 != shownTenth) {
            shownTenth = u.Progress() / 10;
            out << "sent " << u.SentBlocks() << " of " << u.BlockCount() << " blocks ("
                << u.Progress() << " %)\n";
        }
        if (u.State() != shownState && u.State() == TUploadState::Programming)
            out << "sent " << u.SentBlocks() << " of " << u.BlockCount()
                << " blocks (100 %)\nprogramming the flash memory\n";
        if (u.Verifying() && !shownVerifying)
            out << "reconnecting, waiting for the device's version\n";
        shownState = u.State();
        shownVerifying = u.Verifying();
    };
    TFirmwareUpload upload(rig.Timers(), file, true, h);
    engine = &upload;
    rig.OnUploadReply = [&upload](TUploadReplyStatus r) { upload.ReplyArrived(r); };
    upload.Start();
    if (upload.WaitingForReply())
        out << "firmware version " << Cp1252ToUtf8(upload.ExpectedVersion()) << "\n";
    // every wait of the upload is bounded; this only guards against a hang
    const int64_t guard =
        rig.NowMs() + static_cast<int64_t>(upload.BlockCount()) * 1000 + 5 * 60 * 1000;
    while (!upload.CloseEnabled() && rig.NowMs() < guard)
        rig.Run(10);
    rig.OnUploadReply = nullptr;

    switch (upload.State()) {
    case TUploadState::Done:
        out << Cp1252ToUtf8(UploadStateText(upload.State())) << "\n";
        out << "device reports version " << Cp1252ToUtf8(upload.ReportedVersion()) << "\n";
        return kCliOk;
    case TUploadState::VersionMismatch:
        out << "device reports version " << Cp1252ToUtf8(upload.ReportedVersion()) << "\n";
        break;
    default:
        if (!reported || upload.State() == TUploadState::ConnectionLost)
            err << "vaskel-cli: " << Cp1252ToUtf8(UploadStateText(upload.State())) << "\n";
        break;
    }
    return kCliFailure;
}

} // namespace

int RunFirmwareUpload(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool virtualDevice = false;
    std::vector<std::string> operands;
    for (std::size_t k = 2; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (IsHelpArgument(a)) return ShowHelp(FirmwareUploadCommand(), out);
        if (a == "--virtual-device") {
            virtualDevice = true;
        } else if (a.rfind("--", 0) == 0) {
            return RefuseUsage(FirmwareUploadCommand(), err, "unknown option " + a);
        } else {
            operands.push_back(a);
        }
    }
    if (operands.size() != 1) {
        return RefuseUsage(FirmwareUploadCommand(), err, "firmware upload needs one FILE");
    }
    if (!FilesUsable({{"firmware file", operands[0]}}, {}, err)) return kCliUsage;
    const TFixedSystemPlatform platform = ToolPlatform();
    TEnvironment env(nullptr, platform);
    std::unique_ptr<IUploadRig> rig;
    if (virtualDevice)
        rig = std::make_unique<TVirtualRig>(env);
    else
        rig = std::make_unique<TUsbRig>(env);
    return Drive(*rig, operands[0], out, err);
}

const TCliCommand& FirmwareUploadCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "upload";
        c.Summary = "load a firmware file into the Tavrin";
        c.Synopsis = {"firmware upload [--virtual-device] FILE"};
        c.Description =
            "Loads the firmware file FILE (Intel HEX) into the Tavrin at the USB port as\n"
            "the upload window does: the file is checked, the device asked for\n"
            "permission, the blocks sent, the flash programmed; after the device's\n"
            "restart the version it reports must be the one in the file. Progress\n"
            "lines go to standard output, the reported version last.\n"
            "\n"
            "Exit status 1 when the file is broken or no firmware for the Tavrin, no\n"
            "device answers, the device refuses the upload (not enough memory), the\n"
            "connection is lost, or the device reports another version afterwards.\n";
        c.Options = {
            {"--virtual-device", "", "upload into the virtual Tavrin instead, on bus time"}};
        return c;
    }();
    return command;
}

} // namespace vaskel
