#pragma once
// TfMonitorForm: the live monitor. Every captured telegram becomes a row,
// classified and paired; the table follows the newest row unless paused.

#include "recording/Recorder.h"
#include "ui/ProtocolForm.h"

#include <memory>

class QPushButton;
class QTimer;

namespace vaskel {

class TfMonitorForm : public TfBaseProtocolForm {
public:
    TfMonitorForm(TEnvironment& env, const TIBISTelegramParser& parser, QWidget* parent = nullptr);
    ~TfMonitorForm() override;

    // One captured telegram ('M' or 'S').
    void CopyTelegramm(const TTelegramm& record, char source, bool deviceIsMaster);

    TRecorder& Recorder() { return *FRecorder; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool on);
    // Empties the recording (after the question when ask is true).
    void Clear(bool ask);
    // Saves through the save dialog; false when cancelled or failed.
    bool SaveAs();
    // The close question; false keeps the window.
    bool MayClose();
    void SetAutoWarnings(bool on) override;
    // Called once when the window goes (the main window's duties).
    std::function<void()> OnDestroy;

protected:
    void closeEvent(QCloseEvent* e) override;
    void StopFollowing() override { SetAutoScroll(false); }

private:
    void StartRecording();

    std::unique_ptr<TRecorder> FRecorder;
    QPushButton* FPause = nullptr;
    QPushButton* FClear = nullptr;
    QPushButton* FSave = nullptr;
    QTimer* FSafety = nullptr;
    bool FAutoScroll = true;
};

} // namespace vaskel
