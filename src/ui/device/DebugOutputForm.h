#pragma once
// The two trace windows of the device link: "Monitor", the debug window
// with the trace lines of the controller and of the firmware upload, and
// "Gerätemeldungen (Debugausgabe)", the progress lines of the upload, which
// can be paused. Both can be cleared, marked with a line of dashes and
// saved. Lines reach them from the session on the main thread.

#include "ui/common/FileDialogs.h"

#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace vaskel {

class TSession;

class TfDebugOutputForm : public QWidget {
public:
    enum class TKind {
        Debug,         // "Monitor": the session's trace lines
        DeviceMessages // "Gerätemeldungen (Debugausgabe)": pausable
    };
    // A long run is not kept whole: past this the oldest lines go.
    static constexpr int kMaxLines = 20000;

    TfDebugOutputForm(TSession& session, TKind kind, QWidget* parent = nullptr);
    ~TfDebugOutputForm() override;

    TKind Kind() const { return FKind; }
    // Appends a line (dropped while paused); a selection the user made stays.
    void AddLine(const QString& line);
    // The line of 67 dashes.
    void AddMarker();
    void SaveAsked();
    QPlainTextEdit* Log() const { return FLog; }
    QPushButton* Button(const char* objectName) const;
    bool Paused() const { return FPaused; }
    // Tests answer the save dialog.
    std::function<QString(const TFileDialogSpec&)> AskSaveFile;

protected:
    void changeEvent(QEvent* e) override;

private:
    void SetPaused(bool paused);

    TSession& FSession;
    TKind FKind;
    QPlainTextEdit* FLog = nullptr;
    QPushButton* FPause = nullptr;
    bool FPaused = false;
};

} // namespace vaskel
