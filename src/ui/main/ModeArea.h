#pragma once
// TModeArea: the mode-and-status area below the main window's window area.
// The master group (active protocol and call list, the send-delay factor,
// the direct input), the master/slave switch, the slave group with the
// bus warnings, and the device status with its lamps and the bus type.

#include "link/DeviceStatus.h"

#include <QWidget>
#include <functional>
#include <map>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace vaskel {

class TDirectInputBox;
class TEnvironment;
class TLed;

class TModeArea : public QWidget {
    Q_OBJECT

public:
    TModeArea(TEnvironment& env, TDirectInputBox& direct, QWidget* parent = nullptr);

    // Shows the device's state.
    void ApplyDisplay(const TDeviceDisplay& d);
    // The bus type button after a change of the setting or the language.
    void ShowBusType();
    // The active-protocol line (empty: none).
    void SetActiveProtocol(const QString& file);
    QString ActiveProtocol() const;
    // The send-delay factor matters only while master with a protocol open.
    void SetFactorEnabled(bool on);
    // The one-time tips at the switch button and at the send-delay factor.
    void ShowMasterSwitchHint();
    void ShowSendDelayTip();

    TLed* Led(const char* name) const;
    QGroupBox* Group(const char* name) const;
    QLabel* WarningLine(int index) const { return FWarnings[index]; }
    QLabel* MasterDetectedLabel() const { return FMasterDetected; }
    QWidget* WarningPanel() const { return FWarningPanel; }
    QCheckBox* FixDelayBox() const { return FFixDelay; }
    QSpinBox* FactorField() const { return FFactor; }
    QPushButton* SwitchButton() const { return FSwitchButton; }

signals:
    void SwitchClicked();
    void OverloadLampClicked();
    void ActiveProtocolDoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BusTypeClicked();

    TEnvironment& FEnv;
    std::map<std::string, TLed*> FLeds;
    std::map<std::string, QGroupBox*> FGroups;
    QPushButton* FSwitchButton = nullptr;
    QToolButton* FBusTypeButton = nullptr;
    QWidget* FWarningPanel = nullptr;
    QLabel* FWarnings[4] = {};
    QLabel* FMasterDetected = nullptr;
    QLabel* FActiveProtocol = nullptr;
    QCheckBox* FFixDelay = nullptr;
    QSpinBox* FFactor = nullptr;
    std::function<void()> FFollowFixDelay;
    bool FOverloadWarned = false;
};

} // namespace vaskel
