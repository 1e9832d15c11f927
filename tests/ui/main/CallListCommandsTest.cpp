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
#include <QPlainTextEdit>

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

// "Speichern" writes a named list to its own file (no dialog, no question
// to overwrite it), empty cells stay empty, and the edit keys work on the
// table as in the protocol windows.
TEST_F(CallListWindowTest, TheEditorSavesToItsFileAndCopiesItsRows) {
    Start(TScenario::Unpowered);
    QApplication::setActiveWindow(W.get());
    const std::string rows = "-1;\"l001\";\"\";\"0:10\"\r\n"
                             "0;\"k07\";\"Kurs \"\"7\"\"\";\"1:00\"\r\n";
    const QString file = List("linie.AUF.CSV", rows);
    TfAufrufListenForm* form = W->CallLists()->Open(file);
    ASSERT_NE(form, nullptr);
    int asked = 0;
    form->AskSaveFile = [&](const TFileDialogSpec&) {
        ++asked;
        return QString();
    };
    EXPECT_EQ(form->CallTable().Cell(2, 0), "") << "an empty description stays empty";
    QTableView* table = form->View();
    const auto at = [&](int row, int col) { return form->Model().index(row, col); };

    // Ctrl+A and Ctrl+C: every row, as the table shows it, quoted as in the
    // file
    QApplication::clipboard()->clear();
    PressStandardKey(table, QKeySequence::SelectAll);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 2);
    PressStandardKey(table, QKeySequence::Copy);
    const QString titles = QStringLiteral("\tAufruf\tBeschreibung\tIntervall [mm:ss]\r\n");
    EXPECT_EQ(QApplication::clipboard()->text(),
              titles + QStringLiteral("-1\t\"l001\"\t\"\"\t\"0:10\"\r\n"
                                      "0\t\"k07\"\t\"Kurs \"\"7\"\"\"\t\"1:00\""));
    // from the menu: the selected row
    table->selectionModel()->select(at(1, 1), QItemSelectionModel::ClearAndSelect);
    table->setFocus();
    W->Action(TAct::EditCopy1)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              titles + QStringLiteral("0\t\"k07\"\t\"Kurs \"\"7\"\"\"\t\"1:00\""));
    table->clearSelection();
    W->Action(TAct::EditSelectAll)->trigger();
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 2);

    // the Delete key empties the description of a complete row
    table->clearSelection();
    table->setCurrentIndex(at(1, 2));
    QApplication::processEvents();
    PressStandardKey(table, QKeySequence::Delete);
    EXPECT_EQ(form->CallTable().Cell(2, 1), "");

    // an interval typed into its cell, then Ctrl+S
    table->setCurrentIndex(at(0, 3));
    QApplication::processEvents();
    QTest::keyClick(table, Qt::Key_5);
    auto* editor = table->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form->CallTable().Cell(3, 0), "0:05");
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::mmSpeichern)->isEnabled(); }));
    TAutoAnswer guard(QMessageBox::Cancel);
    PressStandardKey(table, QKeySequence::Save);
    EXPECT_EQ(asked, 0) << "no file dialog for a list that has its file";
    EXPECT_EQ(guard.Count, 0) << "and no question to overwrite it";
    EXPECT_EQ(test::ReadFile(file.toStdString()),
              std::string(kAufrufHeader) +
                  "\r\n-1;\"l001\";\"\";\"0:05\"\r\n0;\"k07\";\"\";\"1:00\"\r\n");
    EXPECT_FALSE(form->CallTable().Modified);
    EXPECT_FALSE(form->windowTitle().endsWith(QLatin1Char('*')));
    // "Speichern unter..." asks for the file
    W->Action(TAct::mmSpeichernUnter)->trigger();
    EXPECT_EQ(asked, 1);
}

// The double click on the active-list line asks its question after the
// click, not inside it.
TEST_F(CallListWindowTest, TheActiveLineAsksAfterItsDoubleClick) {
    Start(TScenario::Unpowered);
    W->OpenMonitor();
    int opened = 0;
    W->CallLists()->SetAskOpenFile([&] {
        ++opened;
        return QString();
    });
    TAutoAnswer no(QMessageBox::No);
    QWidget* line = W->ModeArea()->ActiveLine(0);
    QTest::mouseDClick(line, Qt::LeftButton, {}, line->rect().center());
    EXPECT_EQ(no.Count, 0) << "nothing modal inside the mouse event";
    EXPECT_TRUE(WaitFor([&] { return no.Count == 1; })) << "the switch's question follows";
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

    // without a translation stored there is nothing to switch on: no hint
    // after the window is left with Escape, nor after OK on the identity
    OnAddressForm([](TfAddressForm& f) {
        Type(f.Edit(10), "3");
        QTest::keyClick(f.Edit(10), Qt::Key_Escape);
    });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_EQ(Env.GetAddressTranslation(10), 10);
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "cancelled with Escape";
    OnAddressForm([](TfAddressForm& f) { f.OkButton()->click(); });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "no translation defined";
    EXPECT_FALSE(Env.HintGiven(THint::AddressTranslationHintGiven));

    OnAddressForm([](TfAddressForm& f) {
        EXPECT_EQ(f.Edit(10)->text(), QStringLiteral("10"));
        Type(f.Edit(10), "3");
        EXPECT_EQ(f.Edit(10)->property("zkPattern").toInt(),
                  static_cast<int>(TZK_PatternStyle::psActive));
        Type(f.Edit(5), "");
        EXPECT_EQ(f.Edit(5)->text(), QStringLiteral("5")) << "an empty field: its reference value";
        f.OkButton()->click();
    });
    W->Action(TAct::actOpenAddressForm)->trigger();
    EXPECT_EQ(Env.GetAddressTranslation(10), 3);
    EXPECT_EQ(Env.GetAddressTranslation(5), 5);
    EXPECT_TRUE(W->AddressTranslationButton()->isEnabled());
    ASSERT_NE(TBalloonHint::Current(), nullptr) << "the hint to switch the translation on";
    EXPECT_EQ(TBalloonHint::Current()->Title(), QStringLiteral("Hinweis"));
    // what it says agrees with the window: a protocol played back
    EXPECT_TRUE(TBalloonHint::Current()->Text().contains(QStringLiteral("Abspielen eines Protokolls")))
        << TBalloonHint::Current()->Text().toStdString();
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

// A value that is no address 1 .. 15 is refused where it stands: marked,
// named in a message after the click or key, the window open, the text
// kept, nothing stored.
TEST_F(CallListWindowTest, TheAddressWindowRefusesWhatIsNoAddress) {
    TfAddressForm f(Env);
    f.show();
    QApplication::setActiveWindow(&f);
    QLineEdit* field = f.Edit(5);
    const auto look = [&] { return field->property("zkPattern").toInt(); };
    const auto typeInto = [&](const char* text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QString::fromLatin1(text));
    };
    for (const char* typed : {"99", "x", "0", "-3"}) {
        typeInto(typed);
        EXPECT_EQ(look(), static_cast<int>(TZK_PatternStyle::psError)) << typed;
        TAutoAnswer ok(QMessageBox::Ok);
        QTest::mouseClick(f.OkButton(), Qt::LeftButton);
        EXPECT_EQ(ok.Count, 0) << "nothing modal inside the click";
        ASSERT_TRUE(WaitFor([&] { return ok.Count == 1; })) << typed;
        EXPECT_TRUE(ok.LastText.contains(QString::fromLatin1(typed))) << ok.LastText.toStdString();
        EXPECT_TRUE(ok.LastText.contains(QStringLiteral("Adresse 5"))) << typed;
        EXPECT_TRUE(f.isVisible()) << typed;
        EXPECT_EQ(field->text(), QString::fromLatin1(typed)) << "nothing lost";
        EXPECT_EQ(look(), static_cast<int>(TZK_PatternStyle::psError)) << typed;
        EXPECT_EQ(Env.GetAddressTranslation(5), 5) << "nothing stored";
    }
    // Return in the field asks for "Ok": refused after the key
    {
        TAutoAnswer ok(QMessageBox::Ok);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(ok.Count, 0) << "nothing modal inside the key's event";
        ASSERT_TRUE(WaitFor([&] { return ok.Count == 1; }));
        EXPECT_TRUE(f.isVisible());
    }
    // put right: stored
    typeInto("7");
    EXPECT_EQ(look(), static_cast<int>(TZK_PatternStyle::psActive));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(Env.GetAddressTranslation(5), 7);
}

} // namespace
} // namespace vaskel
