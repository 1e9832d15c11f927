#pragma once
// TfMonitorForm: the live monitor. Every captured telegram becomes a row,
// classified and paired; the table follows the newest row unless paused.

#include "recording/Recorder.h"
#include "recording/Scheduler.h"
#include "ui/QtHandOver.h"
#include "ui/protocol/ProtocolForm.h"

#include <memory>

class QPushButton;
class QTimer;

namespace vaskel {

// What the monitor's master simulation needs of the device.
struct TMonitorLinks {
    std::function<bool()> DeviceIsMaster;
    std::function<bool()> LinkRunning;
    std::function<bool(const std::string&)> Send;
};

class TfMonitorForm : public TfBaseProtocolForm {
public:
    TfMonitorForm(TEnvironment& env, const TIBISTelegramParser& parser, QWidget* parent = nullptr,
                  TMonitorLinks links = {});
    ~TfMonitorForm() override;

    // One captured telegram ('M' or 'S').
    void CopyTelegramm(const TTelegramm& record, char source, bool deviceIsMaster);

    TRecorder& Recorder() { return *FRecorder; }
    // The master simulation: call lists and single calls, sent while the
    // device is bus master.
    TMasterScheduler& Scheduler() { return *FScheduler; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool on);
    // Empties the recording (after the question when ask is true).
    void Clear(bool ask);
    // Saves through the save dialog; false when cancelled or failed.
    bool SaveAs();
    // The close question; false keeps the window.
    bool MayClose() override;
    void SetAutoWarnings(bool on) override;
    // Called once when the window goes (the main window's duties).
    std::function<void()> OnDestroy;

protected:
    void StopFollowing() override { SetAutoScroll(false); }

private:
    void StartRecording();

    void MarkLastRowUnanswered();

    std::unique_ptr<TRecorder> FRecorder;
    TQtTimerFactory FTimers;
    TSystemClock FClock;
    std::unique_ptr<TMasterScheduler> FScheduler;
    QPushButton* FPause = nullptr;
    QPushButton* FClear = nullptr;
    QPushButton* FSave = nullptr;
    QTimer* FSafety = nullptr;
    bool FAutoScroll = true;
};

} // namespace vaskel
