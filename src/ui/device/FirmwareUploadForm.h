#pragma once
// TfUploadProgramForm: the window "Programm Upload". It shows the firmware
// file, the upload's state (coloured panel, picture, text), the progress
// bar and the buttons "Start", "Abbruch" and "Schließen", and runs a
// TFirmwareUpload on the session's device. It cannot be closed while the
// upload sends blocks or the device programs its flash.

#include "link/FirmwareUpload.h"

#include <QDialog>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vaskel {

class TElidedLabel;
class TSession;

class TfUploadProgramForm : public QDialog {
public:
    // timers: the upload's clock (null: the program's window timers).
    TfUploadProgramForm(TSession& session, const QString& fileName, bool deviceWasOnline,
                        QWidget* parent = nullptr, ITimerFactory* timers = nullptr);
    ~TfUploadProgramForm() override;

    TFirmwareUpload& Upload() { return *FUpload; }
    // "Schließen" is enabled: the window may close.
    bool MayClose() const;

    // "Start": asks, then starts.
    void StartAsked();

    QLabel* StatusPanel() const { return FStatus; }
    QLabel* Picture() const { return FPicture; }
    QProgressBar* Progress() const { return FProgress; }
    QPushButton* StartButton() const { return FStart; }
    QPushButton* AbortButton() const { return FAbort; }
    QPushButton* CloseButton() const { return FClose; }
    // "Gerätemeldungen ...": the device messages of the upload, over this
    // window (the main window's menu is blocked while it shows).
    QPushButton* MessagesButton() const { return FMessages; }

    // The four pictures beside the state, by colour.
    static QPixmap StatePicture(TUploadColour colour);
    static QColor StateColour(TUploadColour colour);
    // The dialog text of a report, in the active language.
    static QString ReportText(const TUploadReport& report);
    // What is wrong with a firmware file, in the language shown.
    static QString FirmwareProblem(const TFirmwareProblem& problem);

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void ShowState();
    void ShowReport(const TUploadReport& report);

    TSession& FSession;
    std::unique_ptr<ITimerFactory> FOwnTimers;
    std::unique_ptr<TFirmwareUpload> FUpload;
    TElidedLabel* FFile = nullptr;
    QLabel* FStatus = nullptr;
    QLabel* FPicture = nullptr;
    QProgressBar* FProgress = nullptr;
    QPushButton* FStart = nullptr;
    QPushButton* FAbort = nullptr;
    QPushButton* FClose = nullptr;
    QPushButton* FMessages = nullptr;
    int FShownState = -1;
};

} // namespace vaskel
