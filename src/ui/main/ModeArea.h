#pragma once
// TModeArea: the mode-and-status area below the main window's window area.
// The master group (active call list and protocol with their switch
// buttons, the send-delay factor, the direct input), the master/slave
// switch, the slave group (active response list, the bus warnings) and the
// device status with its lamps and the bus type. The groups follow the
// device: the master group works while the device is bus master, the slave
// group while it is a slave, neither while it is offline.

#include "link/DeviceStatus.h"
#include "ui/common/ActionTable.h"
#include "ui/common/Theme.h"

#include <QPointer>
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

class TBalloonHint;
class TDirectInputBox;
class TElidedLabel;
class TEnvironment;
class TLed;
class TPatternGroupBox;

class TModeArea : public QWidget {
    Q_OBJECT

public:
    TModeArea(TEnvironment& env, TDirectInputBox& direct, const TActionTable& actions,
              QWidget* parent = nullptr);

    // Shows the device's state: the groups switch with its mode.
    void ApplyDisplay(const TDeviceDisplay& d);
    // The bus type button after a change of the setting or the language.
    void ShowBusType();
    // The active-file lines (empty: none). A line that shows a file is
    // drawn in the active colour.
    void SetActiveProtocol(const QString& file);
    void SetActiveCallList(const QString& file);
    void SetActiveResponseList(const QString& file);
    // The protocol the active-protocol line shows (empty: none).
    QString ActiveProtocol() const { return FFiles[1]; }
    // The send-delay factor may be set (while master, with a protocol to
    // send).
    void SetFactorEnabled(bool on);
    // The one-time tips at the switch button and at the send-delay factor.
    void ShowMasterSwitchHint();
    void ShowSendDelayTip();

    // Which mode group works.
    enum class TGroups { None, Master, Slave };
    TGroups Groups() const { return FGroupsOn; }

    TLed* Led(const char* name) const;
    // "Master", "Slave", "Device" and "Direct".
    QGroupBox* Group(const char* name) const;
    // The pattern style a group is drawn in.
    TZK_PatternStyle GroupPattern(const char* name) const;
    QLabel* WarningLine(int index) const { return FWarnings[index]; }
    QLabel* MasterDetectedLabel() const { return FMasterDetected; }
    QWidget* WarningPanel() const { return FWarningPanel; }
    QCheckBox* FixDelayBox() const { return FFixDelay; }
    QSpinBox* FactorField() const { return FFactor; }
    QPushButton* SwitchButton() const { return FSwitchButton; }
    QToolButton* BusTypeButton() const { return FBusTypeButton; }
    // The buttons of acSendFromProtocoll, acAufrufOnOff and acAntwortOnOff.
    QToolButton* PanelButton(TAct action) const;
    // The active-file lines: 0 call list, 1 protocol, 2 response list.
    TElidedLabel* ActiveLine(int index) const { return FLines[index]; }
    // The overload warning while it is up.
    TBalloonHint* OverloadWarning() const;

signals:
    void SwitchClicked();
    void OverloadLampClicked();
    void ActiveProtocolDoubleClicked();
    void ActiveCallListDoubleClicked();
    void ActiveResponseListDoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BusTypeClicked();
    void MasterGroupOn();
    void MasterGroupOff();
    void SlaveGroupOn();
    void SlaveGroupOff();
    // The master group's controls off and its lines emptied.
    void MasterControlsOff();
    void SetGroupPattern(TPatternGroupBox* g, TZK_PatternStyle style);
    // An active-file line: 0 call list, 1 protocol, 2 response list.
    void ShowLine(int index, const QString& file);
    void FollowFixDelay();

    TEnvironment& FEnv;
    TDirectInputBox& FDirect;
    std::map<std::string, TLed*> FLeds;
    std::map<std::string, TPatternGroupBox*> FGroups;
    std::map<TAct, QToolButton*> FPanelButtons;
    QPushButton* FSwitchButton = nullptr;
    QToolButton* FBusTypeButton = nullptr;
    QWidget* FWarningPanel = nullptr;
    QLabel* FWarnings[4] = {};
    QLabel* FMasterDetected = nullptr;
    TElidedLabel* FLines[3] = {};
    QLabel* FSecondsLabel = nullptr;
    QCheckBox* FFixDelay = nullptr;
    QSpinBox* FFactor = nullptr;
    QString FFiles[3]; // what the active-file lines show
    bool FFactorAllowed = false;
    TGroups FGroupsOn = TGroups::None;
    QPointer<TBalloonHint> FOverloadWarning;
};

} // namespace vaskel
