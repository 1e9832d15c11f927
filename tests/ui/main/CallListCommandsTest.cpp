// The master simulation from the main window on the virtual Tavrin: call
// lists opened once per file, "Mastersimulation ..." switching the device to
// master and activating a list, the error box of a broken list, the monitor
// ending the list, and the address translation window.

#include "MainFormFixture.h"

#include "lists/ListFiles.h"
#include "ui/editors/AddressForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/main/CallListCommands.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/ElidedLabel.h"

#include <QDir>

namespace vaskel {
namespace {

class CallListWindowTest : public MainWindowTest {
protected:
    QString List(const char* name, const std::string& rows) {
        return QString::fromStdString(Dir.Write(name, std::string(kAufrufHeader) + "\r\n" + rows));
    }
    void MasterOn() {
        ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
        W->Action(TAct::acMasterOnOff)->trigger();
        ASSERT_TRUE(WaitFor([&] { return S->Status().Master(); }));
    }
    // The monitor has recorded the telegram (bus time moves on meanwhile).
    bool Recorded(const std::string& text) {
        return WaitFor([&] {
            Usb->Advance(20);
            TfMonitorForm* m = W->Monitor();
            if (!m) return false;
            for (int r = 0; r < m->Recorder().RowCounter(); ++r)
                if (m->Recorder().Table().Cell(pcTelegram, r).substr(0, text.size()) == text)
                    return true;
            return false;
        });
    }
    QString ActiveLine() const { return W->ModeArea()->ActiveLine(0)->FullText(); }
    void Quiet() {
        if (W->Monitor()) W->Monitor()->Recorder().Table().Modified = false;
    }
};

TEST_F(CallListWindowTest, AListOpensOnceInItsEditor) {
    Start(TScenario::Unpowered);
    const QString file = List("strecke.auf.csv", "-1;\"l001\";\"\";\"0:10\"\r\n");
    EXPECT_EQ(W->DropFiles({file}), TDroppedKind::CallList) << "lower case is a call list too";
    ASSERT_EQ(W->Area()->Windows().size(), 1);
    EXPECT_EQ(W->Area()->Windows()[0]->FileName(), file);
    EXPECT_TRUE(Opened.empty()) << "the main window opens call lists itself";
    TfAufrufListenForm* again = W->CallLists()->Open(file);
    EXPECT_EQ(W->Area()->Windows().size(), 1) << "an editor that shows the file comes to the front";
    EXPECT_EQ(static_cast<TfChildWindow*>(again), W->Area()->Windows()[0]);
    EXPECT_EQ(W->CallLists()->Open(QString::fromStdString(Dir / "fehlt.AUF.CSV")), nullptr);
    bool printable = false, saving = false;
    for (QMenu* m : again->findChildren<QMenu*>()) {
        printable |= m->actions().contains(W->Action(TAct::acPrintProtokoll));
        saving |= m->actions().contains(W->Action(TAct::mmSpeichern));
    }
    EXPECT_TRUE(saving);
    EXPECT_FALSE(printable) << "a call list has no print entries";

    W->Action(TAct::acAufruflisteNew)->trigger();
    ASSERT_EQ(W->Area()->Windows().size(), 2);
    EXPECT_EQ(W->Area()->ActiveWindow()->windowTitle(),
              QStringLiteral("Mastersimulation - Aufrufliste: Neu"));
    EXPECT_FALSE(W->Action(TAct::acAufrufOnOff)->isEnabled()) << "no power: no master";
}

TEST_F(CallListWindowTest, TheMasterSimulationSwitchRunsAListUntilTheMonitorCloses) {
    Start(TScenario::Idle);
    const QString file = List("takt.AUF.CSV", "-1;\"l012\";\"\";\"0:02\"\r\n"
                                              "0;\"k07\";\"\";\"0:01\"\r\n");
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufrufOnOff)->isEnabled(); }))
        << "enabled while the device could become master";
    int asked = 0;
    W->CallLists()->SetAskOpenFile([&] {
        ++asked;
        return file;
    });
    TAutoAnswer answer(QMessageBox::Yes);
    W->Action(TAct::acAufrufOnOff)->trigger();
    EXPECT_EQ(answer.Count, 0) << "without a monitor nothing is asked";
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(S->Status().Master()) << "switched to master first";
    ASSERT_NE(W->Monitor(), nullptr) << "the monitor opens";
    EXPECT_EQ(QString::fromStdString(S->ActiveCallList()), file);
    EXPECT_TRUE(W->Action(TAct::acAufrufOnOff)->isChecked());
    EXPECT_EQ(ActiveLine(), QDir::toNativeSeparators(file));
    EXPECT_TRUE(Env.HintGiven(THint::DblClickFileOpenHintGiven));
    EXPECT_TRUE(Recorded("l012")) << "the list's telegram goes out and is recorded";

    // switched off again: no question while the device is master
    W->Action(TAct::acAufrufOnOff)->trigger();
    EXPECT_EQ(answer.Count, 0);
    EXPECT_EQ(S->ActiveCallList(), "");
    EXPECT_FALSE(W->Action(TAct::acAufrufOnOff)->isChecked());
    EXPECT_TRUE(ActiveLine().isEmpty());

    // the double click on the empty line asks for a list again
    W->CallLists()->ActiveLineDoubleClicked();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(QString::fromStdString(S->ActiveCallList()), file);
    // with a list active it opens the list in its editor
    W->CallLists()->ActiveLineDoubleClicked();
    bool editor = false;
    for (TfChildWindow* w : W->Area()->Windows())
        editor |= w->FileName() == file;
    EXPECT_TRUE(editor);

    Quiet();
    ASSERT_TRUE(W->Monitor()->CloseWindow());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the monitor goes
    ASSERT_TRUE(WaitFor([&] { return !W->Action(TAct::acAufrufOnOff)->isChecked(); }))
        << "closing the monitor ends the list";
    EXPECT_TRUE(ActiveLine().isEmpty());
    EXPECT_EQ(S->ActiveCallList(), "");
}

TEST_F(CallListWindowTest, ABrokenListShowsTheErrorBoxAndNoneIsActive) {
    Start(TScenario::Idle);
    MasterOn();
    const QString good = List("gut.AUF.CSV", "-1;\"l012\";\"\";\"0:05\"\r\n");
    const QString broken =
        List("kaputt.AUF.CSV", "-1;\"l012\";\"\";\"0:05\"\r\nja;\"z034\";\"\";\"0:05\"\r\n");
    const QString idle = List("ruhig.AUF.CSV", "0;\"l012\";\"\";\"0:05\"\r\n");
    EXPECT_EQ(W->CallLists()->Activate(good), TCallListActivation::Active);
    ASSERT_NE(W->Monitor(), nullptr) << "activation opens the monitor";
    {
        TAutoAnswer ok(QMessageBox::Ok);
        EXPECT_EQ(W->CallLists()->Activate(broken), TCallListActivation::Broken);
        EXPECT_EQ(ok.Count, 1);
        EXPECT_TRUE(ok.LastText.startsWith(QStringLiteral(
            "Die ausgewählte Datei ist entweder keine Aufrufliste oder fehlerhaft.")));
    }
    EXPECT_EQ(S->ActiveCallList(), "");
    EXPECT_FALSE(W->Action(TAct::acAufrufOnOff)->isChecked());
    EXPECT_TRUE(ActiveLine().isEmpty());

    EXPECT_EQ(W->CallLists()->Activate(idle), TCallListActivation::Empty);
    EXPECT_TRUE(W->Action(TAct::acAufrufOnOff)->isChecked()) << "active, though it sends nothing";
    EXPECT_TRUE(W->statusBar()->currentMessage().contains(QStringLiteral("inaktiv")))
        << "the status bar says why nothing is sent";

    // switching the device to slave ends the master simulation first
    ASSERT_EQ(W->CallLists()->Activate(good), TCallListActivation::Active);
    W->Action(TAct::acMasterOnOff)->trigger();
    EXPECT_EQ(S->ActiveCallList(), "");
    EXPECT_FALSE(W->Action(TAct::acAufrufOnOff)->isChecked());
    EXPECT_TRUE(WaitFor([&] { return !S->Status().Master(); }));
    Quiet();
}

// Lists no editor wrote: other line ends run row by row; a list without
// rows or with a quote never closed reaches the error box, which names the
// line, and leaves none active.
TEST_F(CallListWindowTest, ListsFromElsewhereRunOrReachTheErrorBox) {
    Start(TScenario::Idle);
    MasterOn();
    const std::string h = kAufrufHeader;
    const QString lf = QString::fromStdString(
        Dir.Write("lf.AUF.CSV", h + "\n-1;\"l012\";\"\";\"0:05\"\n-1;\"z034\";\"\";\"0:05\"\n"));
    EXPECT_EQ(W->CallLists()->Activate(lf), TCallListActivation::Active);
    ASSERT_NE(S->Scheduler(), nullptr);
    EXPECT_EQ(S->Scheduler()->Entries().size(), 2u);
    struct TCase {
        const char* Name;
        std::string Content;
        const char* Says;
    };
    const TCase refused[] = {
        {"leer.AUF.CSV", "", "keine Zeile"},
        {"kopf.AUF.CSV", h + "\n", "keine Zeile"},
        {"nul.AUF.CSV", std::string(32, '\0'), "Zeile 1: nicht die Kopfzeile"},
        {"offen.AUF.CSV", h + "\r\n-1;\"l012\";\"\";\"0:05\"\r\n-1;\"a1;\"\";\"0:10\"\r\n",
         "Zeile 3: ein Anführungszeichen wird nie geschlossen"},
    };
    for (const TCase& c : refused) {
        ASSERT_EQ(W->CallLists()->Activate(lf), TCallListActivation::Active);
        TAutoAnswer ok(QMessageBox::Ok);
        EXPECT_EQ(W->CallLists()->Activate(QString::fromStdString(Dir.Write(c.Name, c.Content))),
                  TCallListActivation::Broken)
            << c.Name;
        EXPECT_EQ(ok.Count, 1) << c.Name;
        EXPECT_TRUE(ok.LastText.contains(QString::fromUtf8(c.Says)))
            << c.Name << ": " << ok.LastText.toStdString();
        EXPECT_EQ(S->ActiveCallList(), "") << c.Name;
        EXPECT_FALSE(W->Action(TAct::acAufrufOnOff)->isChecked()) << c.Name;
    }
    Quiet();
}

// Runs f on the address translation window once it is up.
template <typename F> void OnAddressForm(F f) {
    QTimer::singleShot(50, [f] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* form = dynamic_cast<TfAddressForm*>(modal);
        if (!form) {
            ADD_FAILURE() << "no address translation window";
            if (modal) modal->close();
            return;
        }
        f(*form);
    });
}

void Type(QLineEdit* e, const char* text) {
    e->setText(QString::fromLatin1(text));
    emit e->textEdited(e->text());
    emit e->editingFinished();
}

TEST_F(CallListWindowTest, TheAddressTranslationWindow) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return S->Status().DeviceOnline(); }));
    EXPECT_FALSE(W->AddressTranslationButton()->isEnabled()) << "nothing defined";
    ASSERT_TRUE(W->Action(TAct::actOpenAddressForm)->isEnabled());

    OnAddressForm([](TfAddressForm& f) {
        EXPECT_EQ(f.Edit(10)->text(), QStringLiteral("10"));
        Type(f.Edit(10), "3");
        EXPECT_EQ(f.Edit(10)->property("zkPattern").toInt(),
                  static_cast<int>(TZK_PatternStyle::psActive));
        Type(f.Edit(5), "16");
        EXPECT_EQ(f.Edit(5)->text(), QStringLiteral("5")) << "back to its reference value";
        f.OkButton()->click();
    });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_EQ(Env.GetAddressTranslation(10), 3);
    EXPECT_EQ(Env.GetAddressTranslation(5), 5);
    EXPECT_TRUE(W->AddressTranslationButton()->isEnabled());
    ASSERT_NE(TBalloonHint::Current(), nullptr) << "the hint to switch the translation on";
    EXPECT_EQ(TBalloonHint::Current()->Title(), QStringLiteral("Hinweis"));
    EXPECT_TRUE(Env.HintGiven(THint::AddressTranslationHintGiven));

    W->AddressTranslationButton()->click();
    EXPECT_EQ(Env.IBISAddressTranslationMode(), 1);
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "pressing the switch closes the hint";

    OnAddressForm([](TfAddressForm& f) {
        Type(f.Edit(1), "7");
        f.CancelButton()->click();
    });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_EQ(Env.GetAddressTranslation(1), 1) << "Abbruch stores nothing";

    OnAddressForm([](TfAddressForm& f) {
        f.ResetButton()->click();
        EXPECT_EQ(f.Edit(10)->text(), QStringLiteral("10"));
        f.OkButton()->click();
    });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_FALSE(Env.IBISAddressTranslationDefined());
    EXPECT_FALSE(W->AddressTranslationButton()->isEnabled());
    EXPECT_EQ(Env.IBISAddressTranslationMode(), 0) << "a translation no longer defined is off";
}

} // namespace
} // namespace vaskel
