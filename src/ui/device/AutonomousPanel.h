#pragma once
// TAutonomousPanel (pnlOfflineMode): the bar for the device's autonomous
// recording. Two status fields (is the mode supported and switched on; how
// many data sets the device holds) and the buttons of the five commands.
// It follows the session; the whole bar is disabled while the device is
// offline.

#include <QWidget>

class QLabel;

namespace vaskel {

class TActionTable;
class TSession;

class TAutonomousPanel : public QWidget {
public:
    TAutonomousPanel(TSession& session, const TActionTable& actions, QWidget* parent = nullptr);

    // Shows the session's state of autonomous recording.
    void Refresh();
    QLabel* ModeField() const { return FMode; }   // pnlOfflineModeAvailable
    QLabel* CountField() const { return FCount; } // pnlAmountOfOfflineData

protected:
    void changeEvent(QEvent* e) override;

private:
    TSession& FSession;
    QLabel* FMode = nullptr;
    QLabel* FCount = nullptr;
};

} // namespace vaskel
