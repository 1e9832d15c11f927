#pragma once
// TfProtocolForm: the window of an opened protocol file, with playback.

#include "recording/OpenedProtocol.h"
#include "ui/protocol/BaseProtocolForm.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace vaskel {

// What playing a protocol back needs of the main window and the monitor.
struct TProtocolSendLinks {
    std::function<bool()> SimulationBusy;
    std::function<bool()> MonitorExists;
    std::function<void(const std::string&)> RequestSingleCall;
    std::function<bool()> DeviceIsMaster;
    std::function<bool()> DeviceOnline;
    std::function<bool()> MasterPossible;
    std::function<void()> SwitchToMaster;
    std::function<void()> OpenMonitor;
    // Another protocol window is sending / stop all of them.
    std::function<bool(const QWidget* self)> OtherSending;
    std::function<void()> StopAllSending;
    // The main window's active-protocol line (empty: none).
    std::function<void(const QString&)> ShowActiveProtocol;
    // The one-time tip at the send-delay factor.
    std::function<void()> SendDelayTip;
};

// An opened protocol file.
class TfProtocolForm : public TfBaseProtocolForm {
public:
    // Loads the file (older forms are converted); throws EVaskelError.
    TfProtocolForm(TEnvironment& env, const TIBISTelegramParser& parser, const QString& file,
                   QWidget* parent = nullptr);
    const QString& FileName() const { return FFile; }
    const TProtocolLoad& LoadInfo() const { return FLoad; }
    // Marks the rows as not yet saved (a recovered safety copy).
    void SetUnsaved();
    bool SaveAs();
    // Writes the whole table to file; false (after a message) on failure.
    bool SaveTo(const QString& file);
    bool MayClose() override;
    // The name the save dialog proposes.
    QString ProposedName() const;

    // Classifies every row again and pairs the answers (marks the table
    // modified).
    void ReanalyseRows();

    // Playback: the send button, start and stop, the send mode.
    TProtocolSendLinks Links;
    void SendClicked();
    void StartSending();
    void StopSending();
    bool Sending() const { return FPlayer.Sending(); }
    void SetSendMode(TProtocolPlayer::TMode mode, bool fromButton = true);
    TProtocolPlayer::TMode SendMode() const { return FPlayer.Mode; }
    int SentCount() const { return FPlayer.SentCount(); }
    // Re-evaluates sending and the send button (device or monitor changed).
    void RefreshSendState();
    QPushButton* SendButton() const { return FSendButton; }
    QLabel* InfoPanel() const { return FInfo; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void SendStep();
    void ShowSentCount();

    TTable FOwnTable;
    QString FFile;
    TProtocolLoad FLoad;
    TProtocolPlayer FPlayer;
    QTimer* FSendTimer = nullptr;
    QPushButton* FSendButton = nullptr;
    QPushButton* FModeButton = nullptr;
    QLabel* FInfo = nullptr;
    bool FSavedWarnings = true;
};

// The message shown when a protocol cannot be loaded.
QString ProtocolLoadErrorText(const QString& reason);

} // namespace vaskel
