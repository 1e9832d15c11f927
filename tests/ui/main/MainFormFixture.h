#pragma once
// The main window on Qt's offscreen platform, on the virtual Tavrin.

#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "platform/QtText.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/editors/BaseEditForm.h"
#include "ui/main/DirectInputBox.h"
#include "ui/main/MainForm.h"
#include "ui/main/ModeArea.h"
#include "ui/common/WindowArea.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/ProtocolForm.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/Led.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vaskel {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    // the data folder where it belongs: no notice of another place
    MainWindowTest() { Platform.Documents = Dir.Path().string(); }
    void Start(TScenario scenario) {
        Platform.Program = Dir / "Vaskel";
        TEmulatorOptions o;
        o.Scenario = scenario;
        Usb = std::make_unique<TVirtualUsb>(o);
        TSession::TOptions so;
        so.CreateLink = [this](IMainThreadHandOver& h) -> std::unique_ptr<IDeviceLink> {
            TUsbOptions uo;
            uo.ReadTimeoutMs = 20;
            uo.WatchIntervalMs = 20;
            return std::make_unique<TUSB_Communication>(*Usb, h, kTavrinVendorId, kTavrinProductId,
                                                        uo);
        };
        S = std::make_unique<TSession>(Env, Parser, so);
        TfMainForm::TOptions options;
        options.Virtual = Usb.get();
        options.OpenFile = [this](TDroppedKind k, const QString& f) {
            Opened.push_back({k, f});
            return true;
        };
        if (AdjustOptions) AdjustOptions(options);
        W = std::make_unique<TfMainForm>(*S, options);
        W->show();
    }
    ~MainWindowTest() override {
        // a test that failed half-way may leave an editor with changes: its
        // question must not hold the suite
        TAutoAnswer discard(QMessageBox::No);
        if (W) W->close();
        W.reset();
        S.reset();
        Usb.reset();
    }

    // The main window's "Fenster" menu, and the texts of its visible entries
    // as the user sees them when it opens (those the filter keeps).
    QMenu* WindowMenu() const {
        for (QMenu* m : W->findChildren<QMenu*>())
            if (m->title() == QStringLiteral("Fens&ter")) return m;
        return nullptr;
    }
    QStringList WindowMenuTexts(const std::function<bool(const QAction*)>& keep) const {
        QMenu* menu = WindowMenu();
        emit menu->aboutToShow();
        QStringList texts;
        for (QAction* a : menu->actions())
            if (a->isVisible() && keep(a)) texts << a->text();
        return texts;
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TVirtualUsb> Usb;
    std::unique_ptr<TSession> S;
    std::unique_ptr<TfMainForm> W;
    std::vector<std::pair<TDroppedKind, QString>> Opened;
    // more options for the window, before Start creates it
    std::function<void(TfMainForm::TOptions&)> AdjustOptions;
};

} // namespace
} // namespace vaskel
