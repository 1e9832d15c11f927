#pragma once
// TfMonitorForm: the live monitor. Every captured telegram becomes a row,
// classified and paired; the table follows the newest row unless paused.

#include "recording/Recorder.h"
#include "ui/ProtocolView.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTableView;
class QTimer;

namespace vaskel {

class TfMonitorForm : public QWidget {
public:
    TfMonitorForm(TEnvironment& env, const TIBISTelegramParser& parser, QWidget* parent = nullptr);
    ~TfMonitorForm() override;

    // One captured telegram ('M' or 'S').
    void CopyTelegramm(const TTelegramm& record, char source, bool deviceIsMaster);

    TRecorder& Recorder() { return *FRecorder; }
    TProtocolModel& Model() { return *FModel; }
    QTableView* View() const { return FView; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool on);
    // Empties the recording (after the question when ask is true).
    void Clear(bool ask);
    // Saves through the save dialog; false when cancelled or failed.
    bool SaveAs();
    // The close question; false keeps the window.
    bool MayClose();
    QString Caption() const;

    // Protocol-window features.
    void SetHexShown(bool shown);
    bool HexShown() const { return FHexShown; }
    // 0 off, 1 on (rows the filter rejects are hidden), 2 acoustic.
    void SetFilterState(int state);
    int FilterState() const { return FFilterState; }
    void ApplyFilter();
    void SetAutoWarnings(bool on);
    void SetMarkText(const QString& text);
    // Finds text from the row after the current one; false when not found.
    bool FindNext(const QString& text, bool down = true, bool matchCase = false);
    // The selected rows as text for the clipboard.
    QString SelectionText() const;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void StartRecording();

    TEnvironment& FEnv;
    const TIBISTelegramParser& FParser;
    std::unique_ptr<TRecorder> FRecorder;
    TProtocolModel* FModel = nullptr;
    QTableView* FView = nullptr;
    QPushButton* FPause = nullptr;
    QPushButton* FClear = nullptr;
    QPushButton* FSave = nullptr;
    QTimer* FSafety = nullptr;
    bool FAutoScroll = true;
    bool FHexShown = false;
    int FFilterState = 0;
    std::string FMarkText;
    QPushButton* FHexButton = nullptr;
    QPushButton* FFilterButton = nullptr;
    QPushButton* FWarnButton = nullptr;
    QPushButton* FIbisButton = nullptr;
    QString FCaption;
    QString FLastFind;
};

} // namespace vaskel
