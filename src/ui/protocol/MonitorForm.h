#pragma once
// TfMonitorForm: the live monitor. It shows the session's recording: every
// captured telegram becomes a row, classified and paired; the table follows
// the newest row unless paused. While it is open the session records.

#include "ui/protocol/ProtocolForm.h"

class QPushButton;
class QTimer;

namespace vaskel {

class TfMonitorForm : public TfBaseProtocolForm {
public:
    TfMonitorForm(TSession& session, QWidget* parent = nullptr);
    ~TfMonitorForm() override;

    TRecorder& Recorder() { return Session().Recorder(); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool on);
    // Empties the recording (after the question when ask is true).
    void Clear(bool ask);
    // Saves through the save dialog; false when cancelled or failed.
    bool CanSave() const override { return CanSaveAs(); }
    bool CanSaveAs() const override;
    bool Save() override { return SaveAs(); }
    bool SaveAs() override;
    // The close question; false keeps the window.
    bool MayClose() override;
    void SetAutoWarnings(bool on) override;

protected:
    void StopFollowing() override { SetAutoScroll(false); }
    void changeEvent(QEvent* e) override;

private:
    void StartRecording();
    // A new row of the recording is shown.
    void RowAppended(int row);

    QPushButton* FPause = nullptr;
    QPushButton* FClear = nullptr;
    QPushButton* FSave = nullptr;
    bool FAutoScroll = true;
    QString FStarted; // when the recording started, as the caption shows it
};

} // namespace vaskel
