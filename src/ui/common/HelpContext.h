#pragma once
// The help context of a window: a number standing for its page in the
// manual (ui/help opens it on F1). Every window sets its own; a part of a
// window without one has its window's.

class QWidget;

namespace vaskel {

// The windows' help context numbers.
namespace help {
constexpr int kIndex = 1000; // any other window: the manual's first page
constexpr int kMainWindow = 1010;
constexpr int kHexConverter = 1120;
constexpr int kSettings = 1150;
constexpr int kProtocol = 1200;
constexpr int kMonitor = 1210;
constexpr int kProtocolToolBar = 1220;
constexpr int kDetailError = 1280;
constexpr int kDetailInformation = 1290;
constexpr int kFilter = 1310;
constexpr int kStatistics = 1320;
constexpr int kPrintNote = 1330;
constexpr int kPrintPreview = 1340;
constexpr int kComposer = 1370;
constexpr int kRecordChoice = 1375;
constexpr int kListEditor = 1400;
constexpr int kCallList = 1410;
constexpr int kResponseList = 1450;
constexpr int kAddressTranslation = 1520;
constexpr int kRecordTypes = 1600;
constexpr int kFirmwareUpload = 1700;
constexpr int kCommunication = 1710;
constexpr int kDebugOutput = 1720;
constexpr int kAutonomous = 1730;
} // namespace help

// Gives a window or a part of one its help context.
void SetHelpContext(QWidget* w, int context);
// The context of w or of the nearest widget above it that has one; 0: none.
int HelpContextOf(const QWidget* w);

} // namespace vaskel
