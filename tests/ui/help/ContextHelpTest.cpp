// The manual as the program's help: F1 in each window opens that window's
// page, the "Hilfe" buttons and "Hilfe -> Inhalt" open it, Shift+F1 shows a
// control's hint, the index finds its words, the search its pages, and the
// manual speaks the program's language. The help collections are the ones
// the build made from docs/manual (build/help).

#include "ui/catalogue/DatensatzForm.h"
#include "ui/compose/ComposerForm.h"
#include "ui/compose/HexConverterForm.h"
#include "ui/compose/RecordChoiceDialog.h"
#include "ui/device/AutonomousPanel.h"
#include "ui/device/CommunicationForm.h"
#include "ui/device/DebugOutputForm.h"
#include "ui/device/DeviceWindows.h"
#include "ui/device/FirmwareUploadForm.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/editors/AddressForm.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/filter/Filter.h"
#include "ui/help/ContextHelp.h"
#include "ui/help/HelpWindow.h"
#include "ui/main/MainFormFixture.h"
#include "ui/print/PreviewForm.h"
#include "ui/protocol/StatisticsForm.h"

#include "print/ProtocolPrint.h"

#include <QHelpEngine>
#include <QHelpSearchEngine>
#include <QHelpSearchResult>
#include <QTabWidget>
#include <QTextBrowser>
#include <QWhatsThis>

#include <functional>

namespace vaskel {
namespace {

// The page a help window shows: "file.html" or "file.html#anchor".
QString PageOf(const QUrl& url) {
    const QString file = url.path().section(QLatin1Char('/'), -1);
    return url.fragment().isEmpty() ? file : file + QLatin1Char('#') + url.fragment();
}

QString ShownPage() {
    THelpWindow* w = TContextHelp::Window();
    return w ? PageOf(w->Source()) : QStringLiteral("(no help window)");
}

// F1 pressed on a control as the user presses it: the focus there.
void PressF1(QWidget* w) {
    w->activateWindow();
    w->setFocus();
    QApplication::processEvents();
    QTest::keyClick(w, Qt::Key_F1);
    QApplication::processEvents();
}

// The main window on the virtual Tavrin, the built manual, its working copy
// in the test's folder.
class HelpTest : public MainWindowTest {
public:
    // for the table of windows
    using MainWindowTest::Env;
    using MainWindowTest::S;
    using MainWindowTest::W;

protected:
    HelpTest() {
        TContextHelp::SetFolders(QCoreApplication::applicationDirPath() + QStringLiteral("/../help"),
                                 QString::fromStdString(Dir / "help"));
        TContextHelp::Install();
        Start(TScenario::Idle);
    }
    ~HelpTest() override {
        TContextHelp::CloseWindow();
        TBalloonHint::CloseCurrent();
        SetUiLanguage(1);
    }
    // A short recording of the monitor, saved (the monitor stays open).
    std::string ProtocolFile() {
        std::filesystem::create_directories(Env.DataDirectory()); // the safety copy
        W->OpenMonitor();
        auto* m = W->findChild<TfMonitorForm*>();
        EXPECT_NE(m, nullptr);
        for (auto [text, start] : {std::pair{"a1", 1000u}, {"l001", 1700u}, {"z034", 2400u}}) {
            TTelegramm t;
            t.Text = TelegramBytes(text);
            t.StartTicks = start;
            t.EndTicks = start + 300;
            S->Capture(t, 'M');
        }
        const std::string file = Dir / "short.PRO.CSV";
        EXPECT_TRUE(m->Recorder().SaveActiveProtocol(file, 0));
        m->Recorder().Table().Modified = false;
        return file;
    }
};

// Every window and dialog and the part of it F1 is pressed in, and the page
// of the manual (docs/manual/de/index.md) it opens.
struct TWindowCase {
    const char* Name;
    // Opens the window; gives the control to press F1 on. Windows go into
    // `keep` so that they live until the key is pressed.
    std::function<QWidget*(HelpTest&, std::vector<std::unique_ptr<QWidget>>& keep)> Open;
    const char* Page;
};

TEST_F(HelpTest, F1InEachWindowOpensItsOwnPage) {
    TManualTime time;
    const std::string protocol = ProtocolFile();
    auto show = [](std::vector<std::unique_ptr<QWidget>>& keep, QWidget* w) {
        keep.emplace_back(w);
        w->show();
        return w;
    };
    const std::vector<TWindowCase> cases = {
        {"main window",
         [](HelpTest& t, auto&) -> QWidget* { return t.W->findChild<TModeArea*>(); },
         "getting-started.html#was-das-hauptfenster-zeigt"},
        {"live monitor",
         [](HelpTest& t, auto&) -> QWidget* {
             t.W->OpenMonitor();
             return t.W->findChild<TfMonitorForm*>()->View();
         },
         "live-monitor.html"},
        {"protocol window's tool bar",
         [](HelpTest& t, auto&) -> QWidget* {
             return t.W->findChild<TfMonitorForm*>()->findChild<QToolBar*>(
                 QStringLiteral("ProtocolToolBar"));
         },
         "protocols.html#die-werkzeugleiste-eines-protokollfensters"},
        {"protocol window",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             auto* w = new TfProtocolForm(*t.S, QString::fromStdString(protocol));
             show(keep, w);
             return w->View();
         },
         "protocols.html"},
        {"statistics",
         [](HelpTest& t, auto& keep) -> QWidget* {
             auto* p = static_cast<TfProtocolForm*>(keep.back().get());
             return ShowStatistics(*t.S, p, false);
         },
         "protocols.html#statistik"},
        {"print preview",
         [&](HelpTest&, auto& keep) -> QWidget* {
             auto* p = static_cast<TfProtocolForm*>(keep.at(0).get());
             return show(keep, new TfPreviewForm(std::make_unique<TProtocolPrint>(p->PrintJob())));
         },
         "protocols.html#ein-protokoll-drucken"},
        {"protocol note",
         [&](HelpTest&, auto& keep) -> QWidget* { return show(keep, new TfPrintInfomation); },
         "protocols.html#ein-protokoll-drucken"},
        {"filter",
         [&](HelpTest& t, auto& keep) -> QWidget* { return show(keep, new TfFilter(*t.S)); },
         "protocols.html#filtern-was-ein-protokoll-zeigt"},
        {"call-list editor",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             auto* w = new TfAufrufListenForm(*t.S, QString());
             show(keep, w);
             return w->View();
         },
         "master-simulation.html#aufruflisten"},
        {"response-list editor",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             auto* w = new TfAntwortListenForm(*t.S, QString());
             show(keep, w);
             return w->View();
         },
         "slave-simulation.html"},
        {"address translation",
         [&](HelpTest& t, auto& keep) -> QWidget* { return show(keep, new TfAddressForm(t.Env)); },
         "master-simulation.html#adressumsetzung"},
        {"composer",
         [](HelpTest&, auto&) -> QWidget* {
             return TfComposerForm::Open(nullptr, QStringLiteral("021"), {},
                                         [](const QString&) {});
         },
         "display-texts.html"},
        {"record choice",
         [&](HelpTest&, auto& keep) -> QWidget* { return show(keep, new TfRecordChoiceDialog); },
         "display-texts.html#einen-zieltext-für-anzeige-1-schreiben"},
        {"hex converter",
         [](HelpTest&, auto&) -> QWidget* { return TfHexConverterForm::Open(); },
         "display-texts.html#hex-zu-ibis-hex-umrechner"},
        {"record types",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             auto* w = new TfDatensatzForm(
                 *t.S, QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")});
             show(keep, w);
             return w->View();
         },
         "record-types.html"},
        {"firmware upload",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             return show(keep, new TfUploadProgramForm(*t.S, QStringLiteral("fw.a79"), false,
                                                       nullptr, &time));
         },
         "device.html#die-firmware-aktualisieren"},
        {"communication window",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             return show(keep, new TfCommunicationForm(*t.S));
         },
         "device.html#kommunikationsfenster"},
        {"debug window",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             return show(keep,
                         new TfDebugOutputForm(*t.S, TfDebugOutputForm::TKind::DeviceMessages));
         },
         "device.html#kommunikationsfenster"},
        {"settings",
         [&](HelpTest& t, auto& keep) -> QWidget* {
             return show(keep, new Tfrm_Einstellungen(t.Env, {}));
         },
         "settings-and-files.html#einstellungen"},
        {"autonomous-recording bar",
         [](HelpTest& t, auto&) -> QWidget* { return t.W->DeviceWindows()->Panel(); },
         "device.html#autonomes-aufzeichnen"},
    };
    std::vector<std::unique_ptr<QWidget>> keep;
    THelpWindow* first = nullptr;
    for (const TWindowCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QWidget* target = c.Open(*this, keep);
        ASSERT_NE(target, nullptr);
        PressF1(target);
        EXPECT_EQ(ShownPage(), QString::fromUtf8(c.Page));
        // one help window, in front, for all of them
        if (!first) first = TContextHelp::Window();
        EXPECT_EQ(TContextHelp::Window(), first);
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->Tabs()->currentIndex(), static_cast<int>(THelpWindow::TTab::Contents));
    }
    // the page really is there: its heading, not an empty browser
    PressF1(W->findChild<TModeArea*>());
    EXPECT_TRUE(first->Browser()->toPlainText().contains(QStringLiteral("Was das Hauptfenster zeigt")));
    EXPECT_TRUE(first->windowTitle().contains(QStringLiteral("Erste Schritte")));
    if (TfComposerForm* c = TfComposerForm::Current()) c->close();
    if (auto* h = TfHexConverterForm::Open()) h->close();
    keep.clear();
}

TEST_F(HelpTest, DetailPanelOpensTheDetailAnalysis) {
    std::vector<std::unique_ptr<QWidget>> keep;
    auto* w = new TfProtocolForm(*S, QString::fromStdString(ProtocolFile()));
    keep.emplace_back(w);
    SetHelpContext(w->DetailPanel(), help::kDetailError);
    w->show();
    w->DetailPanel()->show();
    QWidget* inside = new QLineEdit(w->DetailPanel());
    inside->show();
    PressF1(inside);
    EXPECT_EQ(ShownPage(), QStringLiteral("live-monitor.html#die-detailanalyse"));
}

TEST_F(HelpTest, ContentsMenuAndHelpButtonsOpenTheirPages) {
    W->Action(TAct::HelpContents1)->trigger();
    EXPECT_EQ(ShownPage(), QStringLiteral("index.html"));
    ASSERT_NE(TContextHelp::Window(), nullptr);
    EXPECT_TRUE(TContextHelp::Window()->Browser()->toPlainText().contains(
        QStringLiteral("Vaskel Benutzerhandbuch")));

    // the list editors' tool button "Hilfe ..."
    TfAufrufListenForm calls(*S, QString());
    calls.show();
    QToolButton* tbHelp = calls.findChild<QToolButton*>(QStringLiteral("tbHelp"));
    ASSERT_NE(tbHelp, nullptr);
    ASSERT_TRUE(tbHelp->isEnabled());
    QTest::mouseClick(tbHelp, Qt::LeftButton);
    EXPECT_EQ(ShownPage(), QStringLiteral("master-simulation.html#aufruflisten"));
    TfAntwortListenForm responses(*S, QString());
    responses.show();
    QTest::mouseClick(responses.findChild<QToolButton*>(QStringLiteral("tbHelp")), Qt::LeftButton);
    EXPECT_EQ(ShownPage(), QStringLiteral("slave-simulation.html"));

    // the dialogs' "Hilfe"
    TfAddressForm address(Env);
    address.show();
    QTest::mouseClick(address.findChild<QPushButton*>(QStringLiteral("btHelp")), Qt::LeftButton);
    EXPECT_EQ(ShownPage(), QStringLiteral("master-simulation.html#adressumsetzung"));
    Tfrm_Einstellungen settings(Env, {});
    settings.show();
    QTest::mouseClick(settings.findChild<QPushButton*>(QStringLiteral("btHelp")), Qt::LeftButton);
    EXPECT_EQ(ShownPage(), QStringLiteral("settings-and-files.html#einstellungen"));
}

TEST_F(HelpTest, HelpFromAModalDialogCanBeUsedAndStaysAfterIt) {
    // a modal dialog blocks every other window: the help window opened from
    // it must be one of its own, or nobody could scroll or search in it
    Tfrm_Einstellungen settings(Env, {}, W.get());
    settings.setWindowModality(Qt::ApplicationModal);
    settings.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &settings);
    PressF1(settings.findChild<QPushButton*>(QStringLiteral("btOK")));
    THelpWindow* help = TContextHelp::Window();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->parentWidget(), &settings);
    EXPECT_TRUE(help->isWindow());
    settings.close();
    // the dialog is gone, the help stays open on its own
    EXPECT_EQ(TContextHelp::Window(), help);
    EXPECT_EQ(help->parentWidget(), nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(ShownPage(), QStringLiteral("settings-and-files.html#einstellungen"));
}

TEST_F(HelpTest, ShiftF1ShowsTheHintOfTheControlClicked) {
    QAbstractButton* lock = nullptr;
    TfDatensatzForm records(*S, QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")});
    records.show();
    lock = records.findChild<QAbstractButton*>(QStringLiteral("tbLock"));
    ASSERT_NE(lock, nullptr);
    ASSERT_FALSE(lock->toolTip().isEmpty());
    records.View()->setFocus();
    QTest::keyClick(records.View(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(lock, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(TContextHelp::LastHint(), lock->toolTip());
    QWhatsThis::hideText();
    // the menu's "Was ist das?" does the same
    W->Action(TAct::acWhatsThis)->trigger();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

TEST_F(HelpTest, RecordTypeBalloonLeadsToTheChapter) {
    TfDatensatzForm records(*S, QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")});
    records.resize(1000, 400);
    records.show();
    // the first cell selected in the locked table
    records.View()->setCurrentIndex(records.Model().index(2, 1));
    TBalloonHint* b = TBalloonHint::Current();
    ASSERT_NE(b, nullptr);
    QToolButton* link = b->findChild<QToolButton*>(QStringLiteral("BalloonLink"));
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(ShownPage(), QStringLiteral("record-types.html"));
    EXPECT_EQ(TBalloonHint::Current(), nullptr);
}

// A word typed into the index and Return: the page it names.
QString IndexLookUp(const QString& word) {
    THelpWindow* w = TContextHelp::Window();
    w->ShowTab(THelpWindow::TTab::Index);
    w->IndexFilter()->clear();
    w->IndexFilter()->setFocus();
    // (the test library types ASCII only)
    w->IndexFilter()->insert(word);
    QTest::keyClick(w->IndexFilter(), Qt::Key_Return);
    return PageOf(w->Source());
}

TEST_F(HelpTest, IndexFindsItsWordsInBothLanguages) {
    struct TLookUp {
        int Language;
        const char* Word;
        const char* Page;
    };
    const TLookUp lookUps[] = {
        {1, "Antwortliste", "slave-simulation.html"},
        {1, "Prüfsumme", "live-monitor.html#die-fehlerbuchstaben"},
        {2, "response list", "slave-simulation.html"},
        {2, "checksum", "live-monitor.html#the-error-letters"},
    };
    for (const TLookUp& l : lookUps) {
        SCOPED_TRACE(l.Word);
        SetUiLanguage(l.Language);
        TContextHelp::ShowContents();
        THelpWindow* w = TContextHelp::Window();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(WaitFor([w] { return w->IndexReady(); }));
        EXPECT_EQ(IndexLookUp(QString::fromUtf8(l.Word)), QString::fromUtf8(l.Page));
    }
}

TEST_F(HelpTest, FullTextSearchFindsThePages) {
    TContextHelp::ShowContents();
    THelpWindow* w = TContextHelp::Window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitFor([w] { return w->SearchReady(); }));
    QHelpSearchEngine* search = w->Engine().searchEngine();
    bool done = false;
    QObject::connect(search, &QHelpSearchEngine::searchingFinished, w, [&done] { done = true; });
    search->search(QStringLiteral("Fahrgastansicht"));
    ASSERT_TRUE(WaitFor([&done] { return done; }));
    ASSERT_GT(search->searchResultCount(), 0);
    QStringList pages;
    for (const QHelpSearchResult& r : search->searchResults(0, search->searchResultCount()))
        pages << PageOf(r.url());
    EXPECT_TRUE(pages.contains(QStringLiteral("display-texts.html"))) << pages.join(u' ').toStdString();
}

TEST_F(HelpTest, ManualSpeaksTheProgramsLanguage) {
    PressF1(W->findChild<TModeArea*>());
    ASSERT_NE(TContextHelp::Window(), nullptr);
    EXPECT_EQ(TContextHelp::Window()->Language(), 1);
    // the program switched to English: the next F1 opens the English manual
    W->SwitchLanguage(2);
    PressF1(W->findChild<TModeArea*>());
    THelpWindow* w = TContextHelp::Window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Language(), 2);
    EXPECT_EQ(w->Source().host(), QStringLiteral("org.vaskel.manual.en"));
    EXPECT_EQ(ShownPage(), QStringLiteral("getting-started.html#what-you-see-in-the-main-window"));
    EXPECT_TRUE(w->Browser()->toPlainText().contains(QStringLiteral("What you see in the main window")));
    EXPECT_EQ(w->Tabs()->tabText(0), QStringLiteral("Contents"));
    W->SwitchLanguage(1);
}

TEST_F(HelpTest, MissingManualIsSaidNotSilent) {
    TContextHelp::SetFolders(QString::fromStdString(Dir / "nowhere"),
                             QString::fromStdString(Dir / "help"));
    TAutoAnswer ok(QMessageBox::Ok);
    PressF1(W->findChild<TModeArea*>());
    EXPECT_EQ(TContextHelp::Window(), nullptr);
    ASSERT_TRUE(WaitFor([&ok] { return ok.Count > 0; }));
    EXPECT_TRUE(ok.LastText.contains(QStringLiteral("vaskel-de.qhc"))) << ok.LastText.toStdString();
}

} // namespace
} // namespace vaskel
