#pragma once
// A monitor window of its own (no main window), fed with captures by hand,
// and a protocol it recorded, saved and opened again.

#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "platform/QtText.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/ProtocolForm.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vaskel {
namespace {

// A monitor window of its own (no main window), fed with captures by hand.
class MonitorWindowTest : public ::testing::Test {
protected:
    MonitorWindowTest() {
        Platform.Program = Dir / "Vaskel";
        M = std::make_unique<TfMonitorForm>(S);
        M->Recorder().SafetyCopy = false;
    }
    ~MonitorWindowTest() override { M->Recorder().Table().Modified = false; }
    // One captured telegram, 300 ms long.
    void Capture(const std::string& text, uint32_t start, char source = 'M') {
        TTelegramm t;
        t.Text = TelegramBytes(text);
        t.StartTicks = start;
        t.EndTicks = start + 300;
        S.Capture(t, source);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TSession S{Env, Parser};
    std::unique_ptr<TfMonitorForm> M;
};

// An empty cell comes back from a protocol file as a single blank.
[[maybe_unused]] std::string Stored(std::string_view cell) {
    return cell.empty() ? std::string(" ") : std::string(cell);
}

// A protocol recorded by the monitor, saved, and opened in a protocol window.
class ProtocolWindowTest : public MonitorWindowTest {
protected:
    ProtocolWindowTest() {
        Capture("a1", 1000);
        Capture("a10", 1700, 'S');
        Capture("l001", 2400);
        Capture("a2", 3100); // never answered
        Capture("z034", 3800);
        Rows = M->Recorder().RowCounter();
        EXPECT_TRUE(M->Recorder().SaveActiveProtocol(File, 0));
        Recorded = M->Recorder().Table();
    }
    std::string File = Dir / "rec.PRO.CSV";
    int Rows = 0;
    TTable Recorded = MakeProtocolTable();
};

} // namespace
} // namespace vaskel
