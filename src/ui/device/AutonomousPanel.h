#pragma once
// TAutonomousPanel (pnlOfflineMode): the bar for the device's autonomous
// recording. Two status fields (is the mode supported and switched on; how
// many data sets the device holds) and the buttons of the five commands.
// It follows the session; the whole bar is disabled while the device is
// offline.

#include <QList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QToolButton;

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
    const QList<QToolButton*>& Buttons() const { return FButtons; }
    // The buttons' columns: three where the bar is wide enough for all of
    // them with their whole texts, else fewer (more rows).
    int ButtonColumns() const { return FColumns; }

protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // the bar it lies in changed its width
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Places the buttons in as many columns (three at most) as the width
    // takes with every button's whole text.
    void Arrange();
    void PlaceButtons(int columns);

    QGridLayout* FCommands = nullptr;
    QList<QToolButton*> FButtons;
    int FColumns = 0;
    TSession& FSession;
    QLabel* FMode = nullptr;
    QLabel* FCount = nullptr;
};

} // namespace vaskel
