// The slave simulation from the main window on the virtual Tavrin: response
// lists opened once per file in their editor (columns, reaction time kept in
// range, the comma form converted), "Slavesimulation ..." activating a list
// that the device then answers from (recorded as its own answers), the
// error box of a broken row, the switch by hand, the reload after the
// device comes back, and a response list made from a recorded protocol.

#include "MainFormFixture.h"

#include "link/DeviceProtocol.h"
#include "lists/ListFiles.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/main/ResponseListCommands.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/ElidedLabel.h"

#include <QAbstractButton>
#include <QDir>
#include <QPlainTextEdit>
#include <QTest>

namespace vaskel {
namespace {

class ResponseListWindowTest : public MainWindowTest {
protected:
    QString List(const char* name, const std::string& rows) {
        return QString::fromStdString(Dir.Write(name, std::string(kAntwortHeader) + "\r\n" + rows));
    }
    // The monitor has recorded a row of this kind and text.
    bool Recorded(const char* kind, const std::string& text) {
        return WaitFor([&] {
            Usb->Advance(20);
            TfMonitorForm* m = W->Monitor();
            if (!m) return false;
            const TTable& t = m->Recorder().Table();
            for (int r = 0; r < m->Recorder().RowCounter(); ++r)
                if (t.Cell(pcKind, r) == kind &&
                    t.Cell(pcTelegram, r).substr(0, text.size()) == text)
                    return true;
            return false;
        });
    }
    bool DeviceSimulates() {
        return Usb->WithDevice([](TVirtualTavrin& d) { return d.SlaveSimulation(); });
    }
    TAntwortListe DeviceList() {
        return Usb->WithDevice([](TVirtualTavrin& d) { return d.ResponseList(); });
    }
    QString ActiveLine() const { return W->ModeArea()->ActiveLine(2)->FullText(); }
    QString Picture() const {
        return W->Action(TAct::acAntwortOnOff)->property("picture").toString();
    }
    void Quiet() {
        if (W->Monitor()) W->Monitor()->Recorder().Table().Modified = false;
    }
};

TEST_F(ResponseListWindowTest, TheEditor) {
    Start(TScenario::Unpowered);
    // the older comma form, one row without a reaction time
    const QString file = QString::fromStdString(
        Dir.Write("alt.ant.csv", std::string(kAntwortHeaderComma) +
                                     "\r\n'-1','a1','a17','20',\r\n'0','a2','a27','',\r\n"));
    EXPECT_EQ(W->DropFiles({file}), TDroppedKind::ResponseList);
    ASSERT_EQ(W->Area()->Windows().size(), 1);
    EXPECT_TRUE(Opened.empty()) << "the main window opens response lists itself";
    auto* form = dynamic_cast<TfAntwortListenForm*>(W->Area()->Windows()[0]);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(W->ResponseLists()->Open(file), form) << "an editor of the file comes to the front";
    EXPECT_EQ(W->Area()->Windows().size(), 1);
    EXPECT_EQ(form->ResponseTable().Cell(3, 1), "0") << "an empty reaction time becomes 0";
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Slavesimulation - Antwortliste: ")));
    EXPECT_EQ(IsCommaForm(file.toStdString()), false) << "converted on opening";
    EXPECT_FALSE(form->ActivateButton()->isEnabled()) << "no device online";

    // the reaction time stays within 0 and 1000 ms, with a beep
    int beeps = 0;
    form->Beep = [&] { ++beeps; };
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {{"1500", "1000"}, {"-3", "0"}, {"250", "250"}};
    for (const auto& c : cases) {
        form->Model().setData(form->Model().index(0, 3), QString::fromLatin1(c.typed),
                              Qt::EditRole);
        EXPECT_EQ(form->ResponseTable().Cell(3, 0), c.kept) << c.typed;
    }
    EXPECT_EQ(beeps, 2);
    // while it is typed, in the cell's editor
    form->View()->setCurrentIndex(form->Model().index(0, 3));
    form->View()->edit(form->Model().index(0, 3));
    auto* editor = form->View()->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    editor->setPlainText(QStringLiteral("15"));
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(QStringLiteral("00"));
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("1000"));
    EXPECT_EQ(editor->textCursor().position(), 4) << "the caret at the end";
    EXPECT_EQ(beeps, 3);
    editor->setPlainText(QStringLiteral("250"));
    EXPECT_EQ(beeps, 3);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->ResponseTable().Cell(3, 0), "250");

    // saved: an empty reaction cell becomes 0
    form->ResponseTable().SetCell(3, 1, "");
    const QString saved = QString::fromStdString(Dir / "neu.ANT.CSV");
    form->AskSaveFile = [&](const TFileDialogSpec&) { return saved; };
    ASSERT_TRUE(form->SaveListAs());
    EXPECT_EQ(LoadResponseList(saved.toStdString()), (TAntwortListe{{"a1", "a17", 250}}));
    EXPECT_EQ(form->ResponseTable().Cell(3, 1), "0");
    EXPECT_EQ(form->FileName(), saved);

    W->Action(TAct::acAntwortNew)->trigger();
    EXPECT_EQ(W->Area()->ActiveWindow()->windowTitle(),
              QStringLiteral("Slavesimulation - Antwortliste: Neu"));
}

// The device switched to bus master by the switch: the live session unloads
// the active list (the rule the command line's session follows too), and
// every place that shows it says so.
TEST_F(ResponseListWindowTest, TheListIsUnloadedWhenTheDeviceBecomesMaster) {
    Start(TScenario::Idle);
    const QString file = List("anzeige.ANT.CSV", "-1;\"a1\";\"a17\";30\r\n");
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAntwortOnOff)->isEnabled(); }));
    W->ResponseLists()->SetAskOpenFile([&] { return file; });
    W->Action(TAct::acAntwortOnOff)->trigger();
    ASSERT_EQ(QString::fromStdString(S->ActiveResponseList()), file);
    ASSERT_TRUE(WaitFor([&] { return DeviceSimulates() && DeviceList().size() == 1; }));

    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
    W->Action(TAct::acMasterOnOff)->trigger();
    ASSERT_TRUE(WaitFor([&] { return S->Status().Master(); }));
    EXPECT_EQ(S->ActiveResponseList(), "");
    EXPECT_FALSE(W->Action(TAct::acAntwortOnOff)->isChecked());
    EXPECT_TRUE(ActiveLine().isEmpty());
    EXPECT_EQ(W->StatusPanel(2)->text(), QStringLiteral("<Keine Liste aktiv>"));
    EXPECT_TRUE(WaitFor([&] { return DeviceList().empty(); })) << "nothing to answer from";
    Quiet();
}

// The one-time tip says a double click on the active-list line opens the
// list: not when the list is activated from its own open editor (it waits
// for an activation without one), and then it leaves the buttons of the
// windows free, so that a click beside its close button hits none of them.
TEST_F(ResponseListWindowTest, TheOpenTipOnlyWhenTheListIsNotOpenAndOverNoButton) {
    Start(TScenario::Vehicle);
    const QString file = List("anzeige.ANT.CSV", "-1;\"a1\";\"a17\";30\r\n");
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAntwortOnOff)->isEnabled(); }));
    TfAntwortListenForm* form = W->ResponseLists()->Open(file);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitFor([&] { return form->ActivateButton()->isEnabled(); }));
    QTest::mouseClick(form->ActivateButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return QString::fromStdString(S->ActiveResponseList()) == file; }));
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "the list is open already";
    EXPECT_FALSE(Env.HintGiven(THint::DblClickFileOpenHintGiven));

    // switched off, its editor left open, a call list's editor in front:
    // activated again from the menu, the tip comes
    W->Action(TAct::acAntwortOnOff)->trigger();
    ASSERT_EQ(S->ActiveResponseList(), "");
    form->parentWidget()->close();
    ASSERT_TRUE(WaitFor([&] { return W->Area()->Windows().size() <= 1; })) << [&] {
        std::string open;
        for (TfChildWindow* w : W->Area()->Windows()) open += w->Caption().toStdString() + "; ";
        return open;
    }();
    W->Action(TAct::acAufruflisteNew)->trigger();
    W->ResponseLists()->SetAskOpenFile([&] { return file; });
    W->Action(TAct::acAntwortOnOff)->trigger();
    ASSERT_EQ(QString::fromStdString(S->ActiveResponseList()), file);
    TBalloonHint* tip = TBalloonHint::Current();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Text(), QStringLiteral("Durch einen Doppelklick auf diesen Eintrag im "
                                          "Statusbereich\nkönnen Sie die gerade aktive "
                                          "Antwortliste öffnen."));
    EXPECT_TRUE(Env.HintGiven(THint::DblClickFileOpenHintGiven));
    // the windows' buttons stay free (with the monitor and an editor open
    // there is no room left beside the mode area's controls)
    const QRect box(tip->mapTo(W.get(), QPoint(0, 0)), tip->size());
    for (QAbstractButton* b : W->Area()->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || tip->isAncestorOf(b)) continue;
        EXPECT_FALSE(box.intersects(QRect(b->mapTo(W.get(), QPoint(0, 0)), b->size())))
            << qPrintable(b->text()) << " lies under the tip";
    }
    TBalloonHint::CloseCurrent();
    Quiet();
}

TEST_F(ResponseListWindowTest, TheDeviceAnswersFromTheActiveList) {
    Start(TScenario::Vehicle);
    const QString file = List("anzeige.ANT.CSV", "-1;\"a1\";\"a17\";30\r\n");
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAntwortOnOff)->isEnabled(); }));
    int asked = 0;
    W->ResponseLists()->SetAskOpenFile([&] {
        ++asked;
        return file;
    });
    TAutoAnswer answer(QMessageBox::Yes);
    W->Action(TAct::acAntwortOnOff)->trigger();
    EXPECT_EQ(answer.Count, 0) << "without a monitor nothing is asked";
    EXPECT_EQ(asked, 1);
    ASSERT_NE(W->Monitor(), nullptr) << "the monitor opens";
    EXPECT_EQ(QString::fromStdString(S->ActiveResponseList()), file);
    EXPECT_TRUE(W->Action(TAct::acAntwortOnOff)->isChecked());
    EXPECT_EQ(Picture(), QStringLiteral("acAntwortOnOffActive"));
    EXPECT_EQ(ActiveLine(), QDir::toNativeSeparators(file));
    EXPECT_TRUE(Env.HintGiven(THint::DblClickFileOpenHintGiven));
    EXPECT_EQ(W->StatusPanel(2)->text(), QDir::toNativeSeparators(file)) << "the status bar too";
    ASSERT_TRUE(WaitFor([&] { return DeviceSimulates() && DeviceList().size() == 1; }));
    EXPECT_TRUE(Recorded("T", "a17")) << "the device's own answer, recorded as such";

    // switched off by hand: the device stops, nothing is remembered
    Env.SetReloadResponseList(true);
    W->Action(TAct::acAntwortOnOff)->trigger();
    EXPECT_EQ(S->ActiveResponseList(), "");
    EXPECT_FALSE(W->Action(TAct::acAntwortOnOff)->isChecked());
    EXPECT_EQ(Picture(), QStringLiteral("acAntwortOnOffReload"));
    EXPECT_TRUE(ActiveLine().isEmpty());
    EXPECT_EQ(Env.LastLoadedResponseList(), "");
    EXPECT_EQ(W->StatusPanel(2)->text(), QStringLiteral("<Keine Liste aktiv>"));
    EXPECT_TRUE(WaitFor([&] { return !DeviceSimulates() && DeviceList().empty(); }));

    // the editor's button activates its list; the double click opens it
    TfAntwortListenForm* form = W->ResponseLists()->Open(file);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->ActivateButton()->isEnabled());
    form->ActivateButton()->click();
    EXPECT_EQ(QString::fromStdString(S->ActiveResponseList()), file);
    EXPECT_EQ(form->ActivateButton()->text(), QStringLiteral("Deaktivieren"));

    // unplugged and plugged again with the reload on: the list comes back
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return S->ActiveResponseList().empty(); }))
        << "offline: the list is unloaded";
    EXPECT_EQ(QString::fromStdString(Env.LastLoadedResponseList()), file);
    Usb->SetPlugged(true);
    ASSERT_TRUE(WaitFor([&] { return !S->ActiveResponseList().empty(); }))
        << "the device's restart brings the list back";
    EXPECT_TRUE(WaitFor([&] { return DeviceSimulates() && DeviceList().size() == 1; }));
    EXPECT_EQ(Picture(), QStringLiteral("acAntwortOnOffActiveReload"));

    // the monitor closed: unloaded and remembered; the next restart of the
    // device opens the monitor and brings the list back
    Quiet();
    ASSERT_TRUE(W->Monitor()->CloseWindow());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(WaitFor([&] { return S->ActiveResponseList().empty() && !W->Monitor(); }));
    EXPECT_EQ(QString::fromStdString(Env.LastLoadedResponseList()), file);
    EXPECT_TRUE(WaitFor([&] { return DeviceList().empty(); })) << "the device stops answering";
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return !S->Status().DeviceOnline(); }));
    Usb->SetPlugged(true);
    ASSERT_TRUE(WaitFor([&] { return !S->ActiveResponseList().empty(); }));
    EXPECT_NE(W->Monitor(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return DeviceSimulates() && DeviceList().size() == 1; }));
    Quiet();
}

TEST_F(ResponseListWindowTest, ABrokenRowShowsTheErrorBoxAndNoneIsActive) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return S->Status().DeviceOnline(); }));
    const QString good = List("gut.ANT.CSV", "-1;\"a1\";\"a17\";30\r\n");
    const QString broken = List("kaputt.ANT.CSV", "-1;\"a1\";\"a17\";30\r\n-1;\"\";\"x\";5\r\n");
    ASSERT_EQ(W->ResponseLists()->Activate(good), TResponseActivation::Active);
    {
        TAutoAnswer ok(QMessageBox::Ok);
        EXPECT_EQ(W->ResponseLists()->Activate(broken), TResponseActivation::Failed);
        EXPECT_EQ(ok.Count, 1);
        EXPECT_TRUE(ok.LastText.startsWith(QStringLiteral(
            "Die ausgewählte Datei ist entweder keine Antwortdatei oder fehlerhaft.")));
        EXPECT_TRUE(ok.LastText.contains(QStringLiteral("Zeile 2: Der Aufruf ist leer.")))
            << ok.LastText.toStdString();
    }
    EXPECT_EQ(S->ActiveResponseList(), "");
    EXPECT_FALSE(W->Action(TAct::acAntwortOnOff)->isChecked());
    EXPECT_TRUE(ActiveLine().isEmpty());
    EXPECT_TRUE(WaitFor([&] { return DeviceList().empty(); })) << "the old list is gone too";
    Quiet();
}

// Lists no editor wrote: LF line ends download row by row, reaction times
// out of range are clamped and said in the status bar, a list without rows
// reaches the error box.
TEST_F(ResponseListWindowTest, ListsFromElsewhereAreClampedOrReachTheErrorBox) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return S->Status().DeviceOnline(); }));
    const std::string h = kAntwortHeader;
    const QString lf = QString::fromStdString(
        Dir.Write("lf.ANT.CSV", h + "\n-1;\"a1\";\"a17\";2147483648\n-1;\"a2\";\"a27\";-1\n"));
    ASSERT_EQ(W->ResponseLists()->Activate(lf), TResponseActivation::Active);
    EXPECT_EQ(S->Slave().AntwortBuffer(), (TAntwortListe{{"a1", "a17", 1000}, {"a2", "a27", 0}}));
    const QString message = W->statusBar()->currentMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("Zeile 1: Reaktionszeit \"2147483648\"")) &&
                message.contains(QStringLiteral("Zeile 2: Reaktionszeit \"-1\"")))
        << message.toStdString();
    for (const std::string& content : {std::string(), h + "\r\n", std::string(16, '\0')}) {
        TAutoAnswer ok(QMessageBox::Ok);
        EXPECT_EQ(W->ResponseLists()->Activate(
                      QString::fromStdString(Dir.Write("leer.ANT.CSV", content))),
                  TResponseActivation::Failed);
        EXPECT_EQ(ok.Count, 1);
        EXPECT_TRUE(ok.LastText.contains(QStringLiteral("keine Zeile einer Antwortliste")))
            << ok.LastText.toStdString();
        EXPECT_EQ(S->ActiveResponseList(), "");
    }
    Quiet();
}

TEST_F(ResponseListWindowTest, AListFromARecordedProtocol) {
    Start(TScenario::Unpowered);
    auto line = [](const char* kind, const std::string& telegram, const char* errors = "") {
        std::string quoted;
        for (char c : TelegramBytes(telegram))
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return std::string("\"") + kind + "\";\"1\";\"0\";\"\";\"" + errors + "\";\"" + quoted +
               "\";\"\";\"\";\"\";\"\"\r\n";
    };
    // no box stays open, whatever happens
    TAutoAnswer guard(QMessageBox::Ok);
    const QString protocol = QString::fromStdString(Dir.Write(
        "fahrt.PRO.CSV", line("M", "a1") + line("S", "a10") + line("M", "a1") + line("S", "a17")));
    W->ResponseLists()->SetAskProtocolFile([&] { return protocol; });
    TfAntwortListenForm* form = W->ResponseLists()->CreateFromProtocol();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ResponseTable().RowCount(), 1) << "one row per key, the first answer";
    EXPECT_EQ(form->ResponseTable().Cell(2, 0), "a10");
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_TRUE(form->windowTitle().endsWith(QLatin1Char('*'))) << "modified, to be saved";
    EXPECT_EQ(W->Area()->Windows().size(), 1);
    EXPECT_EQ(guard.Count, 0);
    // each answer after 1 ms, and the window says so
    EXPECT_EQ(form->ResponseTable().Cell(3, 0), "1");
    EXPECT_TRUE(form->PanelText()->text().contains(QStringLiteral("1 ms")))
        << form->PanelText()->text().toStdString();
    EXPECT_TRUE(form->PanelText()->isVisible());
    // the note is read whole in a window that is not maximised on a
    // 1024 x 768 screen
    W->resize(1024, 730);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
        sub->showNormal();
        sub->resize(820, 300);
    }
    QApplication::processEvents();
    QApplication::processEvents();
    {
        QLabel* note = form->PanelText();
        const QRect room = note->contentsRect();
        const QRect needed = note->fontMetrics().boundingRect(
            QRect(0, 0, room.width(), 10000), note->wordWrap() ? Qt::TextWordWrap : 0,
            note->text());
        EXPECT_LE(needed.width(), room.width()) << note->text().toStdString();
        EXPECT_LE(needed.height(), room.height()) << note->text().toStdString();
    }

    // ready to be saved at once: the button, Ctrl+S (a new list asks for
    // its name)
    EXPECT_TRUE(form->SaveButton()->isEnabled());
    QApplication::setActiveWindow(W.get());
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::mmSpeichern)->isEnabled(); }));
    EXPECT_TRUE(W->Action(TAct::mmSpeichernUnter)->isEnabled());
    const QString saved = QString::fromStdString(Dir / "fahrt.ANT.CSV");
    int asked = 0;
    form->AskSaveFile = [&](const TFileDialogSpec&) {
        ++asked;
        return saved;
    };
    QTableView* table = form->View();
    table->setFocus();
    QApplication::processEvents();
    QTest::keyClick(table, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(LoadResponseList(saved.toStdString()), (TAntwortListe{{"a1", "a10", 1}}));
    EXPECT_FALSE(form->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_EQ(form->FileName(), saved);

    // Ctrl+A and Ctrl+C: the rows as the table shows them
    QApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("\tAufruf\tAntwort\tReaktion [ms]\r\n-1\t\"a1\"\t\"a10\"\t1"));

    const QString errors = QString::fromStdString(
        Dir.Write("fehler.PRO.CSV", line("M", "a1") + line("S", "a10", "F")));
    W->ResponseLists()->SetAskProtocolFile([&] { return errors; });
    EXPECT_EQ(W->ResponseLists()->CreateFromProtocol(), nullptr);
    EXPECT_EQ(guard.Count, 1);
    EXPECT_TRUE(guard.LastText.startsWith(
        QStringLiteral("Das ausgewählte Protokoll enthält keine gültigen Slaveantworten,")));
    EXPECT_EQ(W->Area()->Windows().size(), 1) << "no editor remains";
    form->ResponseTable().Modified = false;
}

} // namespace
} // namespace vaskel
