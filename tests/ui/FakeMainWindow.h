#pragma once
// A main window for the tests of a window alone: it keeps what the window
// asks of the main window instead of doing it.

#include "ui/common/ActionTable.h"
#include "ui/common/MainWindowLink.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace vaskel {

class TFakeMainWindow : public QWidget, public IMainWindow {
public:
    TFakeMainWindow() : FActions(this) {}
    const TActionTable& Actions() const override { return FActions; }
    void ShowMonitor(bool tiled) override { Asked << (tiled ? "monitor tiled" : "monitor"); }
    void ShowSendDelayTip() override { Asked << "send delay tip"; }
    void ActivateCallList(const QString& file) override { Asked << "activate calls " + file; }
    void SwitchMasterSimulation() override { Asked << "master switch"; }
    void ActivateResponseList(const QString& file) override {
        Asked << "activate responses " + file;
    }
    void SwitchSlaveSimulation() override { Asked << "slave switch"; }
    void ShowStatusMessage(const QString& text) override { Asked << "status " + text; }

    QStringList Asked;

private:
    TActionTable FActions;
};

} // namespace vaskel
