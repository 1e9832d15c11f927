// The upload window: its states with colours, pictures and texts in both
// languages; not closable while blocks are in flight, nor is the main
// window; the file dialog with the remembered folder and file; and an
// upload into the virtual Tavrin through the program's USB path, with the
// upload's clock in the test's hand.

#include "ui/device/FirmwareUploadForm.h"
#include "ui/device/DebugOutputForm.h"
#include "ui/device/DeviceWindows.h"

#include "link/FirmwareHex.h"
#include "ui/main/MainFormFixture.h"

#include <QPlainTextEdit>

#include <QFileDialog>
#include <QProgressBar>

namespace vaskel {
namespace {

class UploadFormTest : public ::testing::Test {
protected:
    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{TProfileArray{}};
    TSession S{Env, Parser};
    TManualTime Time;
    std::string File =
        Dir.Write("fw.a79", test::FirmwareHex(test::FirmwareBytes(200 * 63, "Tavrin V2.15")));
};

TUploadColour ColourOf(const TfUploadProgramForm& f) {
    return static_cast<TUploadColour>(f.StatusPanel()->property("uploadColour").toInt());
}

TEST_F(UploadFormTest, StatesShowTheirColourPictureTextAndButtons) {
    TfUploadProgramForm offline(S, FromFileName(File), false, nullptr, &Time);
    EXPECT_EQ(offline.StatusPanel()->text(), QString::fromUtf8("Keine Verbindung zum Gerät!"));
    EXPECT_EQ(ColourOf(offline), TUploadColour::Red);
    EXPECT_EQ(offline.StatusPanel()->palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_FALSE(offline.StartButton()->isEnabled());
    EXPECT_FALSE(offline.AbortButton()->isEnabled());
    EXPECT_TRUE(offline.CloseButton()->isEnabled());
    // the four pictures differ
    const QImage red = TfUploadProgramForm::StatePicture(TUploadColour::Red).toImage();
    EXPECT_EQ(offline.Picture()->pixmap().toImage(), red);
    for (const TUploadColour c :
         {TUploadColour::SkyBlue, TUploadColour::Yellow, TUploadColour::Lime})
        EXPECT_NE(TfUploadProgramForm::StatePicture(c).toImage(), red);

    TfUploadProgramForm f(S, FromFileName(File), true, nullptr, &Time);
    EXPECT_EQ(ColourOf(f), TUploadColour::SkyBlue);
    EXPECT_EQ(f.StatusPanel()->text(),
              QString::fromUtf8("Bitte klicken Sie auf \"Start\", um den Upload zu starten"));
    EXPECT_TRUE(f.StartButton()->isEnabled());
    // the go-ahead: blocks in flight
    f.Upload().Start();
    EXPECT_FALSE(f.StartButton()->isEnabled()) << "waiting for the device's reply";
    EXPECT_FALSE(f.CloseButton()->isEnabled());
    f.Upload().ReplyArrived(TUploadReplyStatus::urGoAhead);
    EXPECT_EQ(ColourOf(f), TUploadColour::Yellow);
    EXPECT_EQ(f.StatusPanel()->text(), QString::fromUtf8("Programm wird übertragen!"));
    EXPECT_TRUE(f.AbortButton()->isEnabled());
    EXPECT_FALSE(f.StartButton()->isEnabled());
    EXPECT_FALSE(f.CloseButton()->isEnabled());
    f.show();
    EXPECT_FALSE(f.close()) << "not while blocks are in flight";
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    f.AbortButton()->click();
    Time.Advance(200);
    EXPECT_EQ(ColourOf(f), TUploadColour::Red);
    EXPECT_EQ(f.StatusPanel()->text(), QString::fromUtf8("Programm-Update abgebrochen!"));
    EXPECT_TRUE(f.StartButton()->isEnabled()) << "may be tried again";
    EXPECT_TRUE(f.close());

    SetUiLanguage(2);
    TfUploadProgramForm en(S, FromFileName(File), true, nullptr, &Time);
    EXPECT_EQ(en.StatusPanel()->text(),
              QStringLiteral("Please click \"Start\" to start the upload."));
    EXPECT_EQ(en.windowTitle(), QStringLiteral("Firmware upload"));
    EXPECT_EQ(en.AbortButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(TfUploadProgramForm::ReportText({TUploadProblem::FormatError, "", 7, "", "", {}}),
              QStringLiteral("Format error in line: 7"));
    // what is wrong with a file, in the language shown
    TUploadReport overlap{TUploadProblem::FormatError, "", 3, "", "", {}};
    overlap.Firmware = {TFirmwareProblem::TKind::Overlap, 3, 1, 0, 0, 0x10A, 0};
    EXPECT_EQ(TfUploadProgramForm::ReportText(overlap),
              QStringLiteral("Format error in line: 3 (address 0x0000010A is already filled by line 1)"));
    TUploadReport cut{TUploadProblem::Incomplete, "", 0, "", "", {}};
    cut.Firmware.Kind = TFirmwareProblem::TKind::NoEnd;
    EXPECT_TRUE(TfUploadProgramForm::ReportText(cut).endsWith(
        QStringLiteral("The file ends without its end-of-file record (:00000001FF): it is incomplete.")))
        << TfUploadProgramForm::ReportText(cut).toStdString();
    SetUiLanguage(1);
    EXPECT_EQ(TfUploadProgramForm::ReportText({TUploadProblem::FormatError, "", 7, "", "", {}}),
              QStringLiteral("Formatfehler in Zeile: 7"));
}

TEST_F(UploadFormTest, StartAsksFirstAndNoAnswerEndsInItsDialog) {
    TfUploadProgramForm f(S, FromFileName(File), true, nullptr, &Time);
    f.show();
    {
        TAutoAnswer no(QMessageBox::No);
        f.StartButton()->click();
        EXPECT_EQ(no.Count, 1);
        EXPECT_EQ(no.LastText, QString::fromUtf8("Programm-Upload starten?"));
        EXPECT_FALSE(f.Upload().WaitingForReply());
    }
    TAutoAnswer answer({QMessageBox::Yes, QMessageBox::Ok});
    f.StartButton()->click();
    EXPECT_TRUE(f.Upload().WaitingForReply());
    Time.Advance(3000); // no device: no reply
    EXPECT_EQ(f.Upload().State(), TUploadState::Cancelled);
    ASSERT_TRUE(WaitFor([&] { return answer.Count == 2; }));
    EXPECT_TRUE(answer.LastText.startsWith(
        QString::fromUtf8("Der Tavrin hat nicht auf den Uploadwunsch geantwortet.\nDer Upload "
                          "wird abgebrochen. Bitte trennen Sie das Gerät, verbinden")))
        << answer.LastText.toStdString();
}

class UploadMainWindowTest : public MainWindowTest {};

// An upload window that could not close would keep the main window open at
// the end of a failed test.
struct DropUpload {
    TfMainForm* W;
    ~DropUpload() {
        if (W) delete W->FirmwareUploadWindow();
    }
};

TEST_F(UploadMainWindowTest, FirmwareUploadThroughTheWindowRestartsTheDevice) {
    Start(TScenario::Vehicle);
    DropUpload drop{W.get()};
    ASSERT_TRUE(WaitFor([&] {
        return W->Action(TAct::actFirmwareUpdate)->isEnabled() &&
               S->Status().HardwareRevision() == "Tavrin V2.14 (Emulator)";
    }));
    const std::string file =
        Dir.Write("fw.a79", test::FirmwareHex(test::FirmwareBytes(200 * 63, "Tavrin V2.15")));
    TManualTime time;
    TfUploadProgramForm* f = W->OpenFirmwareUpload(FromFileName(file), &time);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(W->OpenFirmwareUpload(FromFileName(file), &time), f) << "one window";
    EXPECT_TRUE(f->isModal());
    f->Upload().Start();
    ASSERT_TRUE(WaitFor([&] { return f->Upload().State() == TUploadState::Transferring; }));

    {
        TAutoAnswer ok(QMessageBox::Ok);
        W->close();
        EXPECT_TRUE(W->isVisible()) << "the main window stays while blocks are in flight";
        EXPECT_EQ(ok.Count, 1);
        EXPECT_TRUE(ok.LastText.contains(QString::fromUtf8("nicht beendet werden")));
    }
    int shown = 0;
    while (f->Upload().State() == TUploadState::Transferring) {
        time.Advance(200);
        EXPECT_GE(f->Progress()->value(), shown) << "the bar moves on";
        shown = f->Progress()->value();
        QApplication::processEvents();
    }
    ASSERT_EQ(f->Upload().State(), TUploadState::Programming);
    EXPECT_EQ(f->Progress()->value(), 100);
    time.Advance(TFirmwareUpload::kProgrammingMs);
    ASSERT_TRUE(f->Upload().Verifying());
    // the device comes back after its restart (on the program's own
    // polling); its version decides at the upload's next tick
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(20);
        return S->Status().DeviceOnline() && S->Status().HardwareRevision() != "unbekannt";
    }));
    time.Advance(200);
    EXPECT_EQ(f->Upload().State(), TUploadState::Done);
    EXPECT_EQ(f->StatusPanel()->text(),
              QString::fromUtf8("Programm-Update erfolgreich durchgeführt!"));
    EXPECT_TRUE(
        W->StatusPanel(1)->text().contains(QStringLiteral("Tavrin V2.15 Vaskel/AT91SAM7S256")))
        << W->StatusPanel(1)->text().toStdString();
    const TFirmwareImage image = ReadFirmwareFile(file);
    EXPECT_TRUE(Usb->WithDevice([&](TVirtualTavrin& d) {
        return d.ProgrammedFirmware() == image.Bytes();
    })) << "every block, in order";
    EXPECT_TRUE(f->close());
    ASSERT_TRUE(WaitFor([&] { return W->FirmwareUploadWindow() == nullptr; }))
        << "closing frees the window";
}

TEST_F(UploadMainWindowTest, TheFileDialogRemembersFolderAndFile) {
    Start(TScenario::Vehicle);
    DropUpload drop{W.get()};
    const std::string folder = Dir / "fw/";
    std::filesystem::create_directories(folder);
    Dir.Write("fw/old.a79", ":00000001FF\r\n");
    Dir.Write("fw/new.a79", ":00000001FF\r\n");
    Env.SetFirmwarePath(folder);
    Env.SetLastFirmwareFile("old.a79");
    QString seenFolder, seenFile;
    QStringList seenFilters;
    QTimer answer;
    answer.setInterval(20);
    int stable = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return;
        if (seenFile.isEmpty()) {
            seenFolder = d->directory().absolutePath();
            seenFilters = d->nameFilters();
            seenFile = name->text();
        }
        // typed, as a user does; the dialog may still be reading its folder
        // and preselect the old name again meanwhile
        if (name->text() != QStringLiteral("new.a79")) {
            name->setText(QStringLiteral("new.a79"));
            stable = 0;
            return;
        }
        if (++stable < 3) return;
        answer.stop();
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    answer.start();
    W->FirmwareUpdate();
    EXPECT_EQ(seenFolder + QLatin1Char('/'), FromFileName(folder));
    EXPECT_EQ(seenFile, QStringLiteral("old.a79"));
    EXPECT_EQ(seenFilters, (QStringList{QStringLiteral("Vaskel-Firmware (*.a79)"),
                                        QStringLiteral("Alle Dateien (*.*)")}));
    EXPECT_EQ(Env.FirmwarePath(), folder);
    EXPECT_EQ(Env.LastFirmwareFile(), "new.a79");
    TfUploadProgramForm* f = W->FirmwareUploadWindow();
    ASSERT_NE(f, nullptr);
    // the action again: the open window comes to the front, no second dialog
    W->FirmwareUpdate();
    EXPECT_EQ(W->FirmwareUploadWindow(), f);
    EXPECT_TRUE(f->close());
}

// The device messages do not get lost: a tool window that stays above the
// main window, listed in the window menu, and opened from the upload window
// over it while the upload blocks the main window.
TEST_F(UploadMainWindowTest, TheDeviceMessagesStayReachable) {
    Start(TScenario::Vehicle);
    DropUpload drop{W.get()};
    TDeviceWindows* dw = W->DeviceWindows();
    QMenu* menu = WindowMenu();
    ASSERT_NE(menu, nullptr);
    const auto listed = [&] { return WindowMenuTexts([](const QAction* a) { return !a->isSeparator(); }); };
    const QString title = QString::fromUtf8("Gerätemeldungen (Debugausgabe)");
    EXPECT_FALSE(listed().contains(title));
    W->Action(TAct::actDeviceMessageWindow)->trigger();
    TfDebugOutputForm* messages = dw->DeviceMessages();
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(messages->windowFlags() & Qt::WindowType_Mask, Qt::Tool)
        << "kept above the main window";
    EXPECT_EQ(listed().count(title), 1) << "once, however often the menu opens";
    EXPECT_EQ(listed().count(title), 1);
    messages->hide();
    EXPECT_FALSE(listed().contains(title));
    for (QAction* a : menu->actions())
        if (a->text() == title) a->trigger();

    // the upload window blocks the main window and its menu: its own button
    // brings the messages over it
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::actFirmwareUpdate)->isEnabled(); }));
    const std::string file =
        Dir.Write("fw.a79", test::FirmwareHex(test::FirmwareBytes(20 * 63, "Tavrin V2.15")));
    TManualTime time;
    TfUploadProgramForm* f = W->OpenFirmwareUpload(FromFileName(file), &time);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    ASSERT_EQ(QApplication::activeModalWidget(), f);
    ASSERT_TRUE(f->MessagesButton()->isVisible());
    QTest::mouseClick(f->MessagesButton(), Qt::LeftButton);
    messages = dw->DeviceMessages();
    ASSERT_NE(messages, nullptr);
    EXPECT_TRUE(messages->isVisible());
    EXPECT_EQ(messages->parentWidget(), f) << "over the modal window, not blocked by it";
    f->Upload().Start();
    ASSERT_TRUE(WaitFor([&] { return f->Upload().State() == TUploadState::Transferring; }));
    time.Advance(200);
    QApplication::processEvents();
    EXPECT_TRUE(messages->Log()->toPlainText().contains(QStringLiteral("-- Uploading block no.")))
        << messages->Log()->toPlainText().toStdString();
    f->Upload().Abort();
    ASSERT_TRUE(WaitFor([&] {
        time.Advance(200);
        return f->CloseButton()->isEnabled();
    }));
    f->CloseButton()->click();
    ASSERT_TRUE(WaitFor([&] { return W->FirmwareUploadWindow() == nullptr; }));
    ASSERT_EQ(dw->DeviceMessages(), messages) << "the window outlives the upload";
    EXPECT_EQ(messages->parentWidget(), W.get());
}

} // namespace
} // namespace vaskel
