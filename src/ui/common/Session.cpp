#include "ui/common/Session.h"

#include "platform/QtDebugOutput.h"
#include "platform/QtText.h"
#include "shell/Timers.h"
#include "ui/common/Texts.h"

#include <QApplication>
#include <QFile>

#include <chrono>

namespace vaskel {

namespace {

QString FileName(const std::string& file) {
    return QFile::decodeName(QByteArray::fromStdString(file));
}

} // namespace

class TSession::TObserver : public ISessionObserver {
public:
    explicit TObserver(TSession& s) : S(s) {}
    void RowAppended(int row) override { emit S.RowAppended(row); }
    void RowChanged(int row) override { emit S.RowChanged(row); }
    void RecordingStarted() override { emit S.RecordingStarted(); }
    void RecordingStopped() override { emit S.RecordingStopped(); }
    void DeviceDisplayChanged(const TDeviceDisplay& d) override { emit S.DisplayChanged(d); }
    void Tick() override { emit S.Tick(); }
    void MasterSwitchAsked() override { emit S.MasterSwitchAsked(); }
    void PlaybackChanged(const std::string& file) override {
        emit S.PlaybackChanged(FileName(file));
    }
    void SimulationChanged(TSimulationKind kind, const std::string& file) override {
        if (kind == TSimulationKind::CallList)
            emit S.CallListChanged(FileName(file));
        else
            emit S.ResponseListChanged(FileName(file));
    }
    void RecordingNeeded() override { emit S.RecordingNeeded(); }
    void Message(TSessionMessage message, const std::string& detail) override {
        switch (message) {
        case TSessionMessage::SafetyCopyFailed:
            emit S.UserMessage(Tr("Die Sicherungskopie kann nicht geschrieben werden:") +
                               QStringLiteral(" ") + FromCp1252(detail));
            break;
        case TSessionMessage::ResponseListReloadFailed:
            emit S.ResponseListReloadFailed();
            break;
        }
    }
    void AutonomousChanged() override { emit S.AutonomousChanged(); }
    void UploadReply(TUploadReplyStatus reply) override {
        emit S.UploadReplyReceived(static_cast<int>(reply));
    }

private:
    TSession& S;
};

TSession::TSession(TEnvironment& env, TIBISTelegramParser& parser, TOptions options)
    : FEnv(env), FParser(parser), FOptions(std::move(options)), FHandOver(this),
      FObserver(std::make_unique<TObserver>(*this)) {
    TLiveSession::TOptions o;
    if (FOptions.CreateLink) o.CreateLink = [this] { return FOptions.CreateLink(FHandOver); };
    o.Trace = [this](const std::string& s) { DeviceTrace(s); };
    o.Beep = [this] { DeviceBeep(); };
    // the traffic window: sent bytes come from the controller's thread,
    // received ones from the link; both reach it on the main thread, stamped
    // when they passed
    o.Traffic = [this](bool toDevice, std::string_view bytes) {
        if (FTrafficWatchers.load() <= 0) return;
        const qint64 ms = TSystemClock().Now().MsOfDay();
        FHandOver.Post([this, toDevice, ms,
                        b = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))] {
            emit TrafficLogged(toDevice, b, ms);
        });
    };
    o.SteadyMs = [] {
        return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
    };
    o.SingleCalls = FOptions.SingleCalls;
    FLive = std::make_unique<TLiveSession>(FEnv, FParser, FHandOver, FTimers, FClock, *FObserver,
                                           std::move(o));
    // the disk never holds up the windows
    FLive->Recorder().SafetyCopyInBackground = true;
}

TSession::~TSession() {
    // the controller's thread ends before the members it hands over to
    FLive.reset();
}

void TSession::DeviceTrace(const std::string& line) {
    if (FOptions.Trace)
        FOptions.Trace(line);
    else
        DebugOutput(line);
    PostDebugLine(line);
}

void TSession::PostDebugLine(const std::string& line) {
    if (FDebugWatchers.load() <= 0) return;
    FHandOver.Post([this, l = FromCp1252(line)] { emit DebugLine(l); });
}

void TSession::PostDeviceMessage(const std::string& line) {
    if (FMessageWatchers.load() <= 0) return;
    FHandOver.Post([this, l = FromCp1252(line)] { emit DeviceMessage(l); });
}

void TSession::DeviceBeep() const {
    if (FOptions.Beep)
        FOptions.Beep();
    else
        QApplication::beep();
}

void TSession::ReloadCatalogue() {
    FParser.Reload();
    emit CatalogueReloaded();
}

void TSession::ReportUploadMessage(const std::string& line) {
    PostDeviceMessage(line);
    emit UploadMessage(FromCp1252(line));
}

void TSession::ReportUploadDebugLine(const std::string& line) {
    DeviceTrace(line);
    emit UploadDebugLine(FromCp1252(line));
}

} // namespace vaskel
