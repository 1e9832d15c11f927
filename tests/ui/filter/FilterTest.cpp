// The filter window: its lists and their checks, the choice applied to the
// protocol windows and the monitor's new rows, the templates in the INI
// file, a missing IBIS_Frame.CSV, the language switch and the drawing.

#include "shell/IniFile.h"
#include "ui/filter/Filter.h"
#include "ui/protocol/MonitorFixture.h"

#include <QListWidget>
#include <QTest>

namespace vaskel {
namespace {

class FilterWindowTest : public ProtocolWindowTest {
protected:
    FilterWindowTest() { M->SetFilterState(1); }
    ~FilterWindowTest() override { SetUiLanguage(1); }

    static int Index(const TFilterList& list, const std::string& key) {
        for (std::size_t k = 0; k < list.size(); ++k)
            if (list[k].Rec.Key == key) return static_cast<int>(k);
        return -1;
    }
    // A click on an entry's box (through the list's item).
    static void Click(QListWidget* list, int row) {
        ASSERT_GE(row, 0);
        QListWidgetItem* item = list->item(row);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    static bool Checked(QListWidget* list, int row) {
        return list->item(row)->checkState() == Qt::Checked;
    }
    // The telegrams the window shows, in order.
    static std::vector<std::string> Shown(TfBaseProtocolForm& w, const TTable& t) {
        std::vector<std::string> shown;
        for (int r = 0; r < t.RowCount(); ++r)
            if (!w.View()->isRowHidden(r)) {
                const std::string_view cell = t.Cell(pcTelegram, r);
                shown.emplace_back(cell.substr(0, cell.find('\r')));
            }
        return shown;
    }
    std::string IniFile() const { return Dir / "Vaskel.INI"; }
};

using TNames = std::vector<std::string>;

// Opening takes the choice in force: the numbers and keys exactly (021 but
// not 021a) and the box; the lists are sorted, one entry per key, and the
// record types follow the bus type.
TEST_F(FilterWindowTest, OpeningShowsTheChoiceInForce) {
    Env.SetFilterSatzArten("021;");
    Env.SetFilterKuerzel("a;");
    Env.SetNeverFilterErrors(false);
    TfFilter* w = ShowFilterWindow(S, nullptr);
    ASSERT_TRUE(w);
    EXPECT_EQ(ShowFilterWindow(S, nullptr), w) << "one filter window at a time";
    EXPECT_EQ(w->Caption(), "Filter");
    EXPECT_GE(w->minimumWidth(), 500);

    const TFilterList& groups = w->Groups();
    const TFilterList& types = w->RecordTypes();
    ASSERT_EQ(w->GroupList()->count(), 11);
    EXPECT_EQ(w->GroupList()->item(0)->text(), QString::fromUtf8("a\u00A0Anzeigen"));
    EXPECT_EQ(w->GroupList()->item(10)->text(), QString::fromUtf8("z\u00A0Ziel"));
    const int t021 = Index(types, "021");
    ASSERT_GE(t021, 0);
    EXPECT_EQ(w->RecordTypeList()->item(t021)->text(),
              QString::fromUtf8("021 \u00A0<aA@1H1H=$1$1(16C)>\u00A0Zieltext an adressierte Anzeige: "
                               "Adresse, Anzahl Blöcke, je Block 16 Zeichen"))
        << "number, blank, NBSP, <pattern>, NBSP, description";
    EXPECT_TRUE(Checked(w->RecordTypeList(), t021));
    EXPECT_FALSE(Checked(w->RecordTypeList(), Index(types, "021a")));
    EXPECT_TRUE(Checked(w->GroupList(), Index(groups, "a")));
    EXPECT_FALSE(Checked(w->GroupList(), Index(groups, "l")));
    EXPECT_FALSE(w->NeverFilterErrorsBox()->isChecked());
    EXPECT_EQ(Index(types, "001a") >= 0, true);

    // the train bus: its own record types, the checks kept by number
    Env.SetBusType(TBusType::bsTrainBus);
    w->RefreshFromState();
    EXPECT_EQ(Index(w->RecordTypes(), "001a"), -1);
    EXPECT_TRUE(Checked(w->RecordTypeList(), Index(w->RecordTypes(), "021")));
    EXPECT_EQ(w->RecordTypeList()->count(), static_cast<int>(w->RecordTypes().size()));

    EXPECT_FALSE(Env.FilterWindowWasOpened());
    delete w;
    EXPECT_TRUE(Env.FilterWindowWasOpened());
    EXPECT_EQ(Env.FilterSatzArten(), "021;") << "the choice stays in force";
    EXPECT_NE(ShowFilterWindow(S, nullptr), nullptr);
    delete ShowFilterWindow(S, nullptr);
}

// Every change filters every protocol window again and the monitor's new
// rows; groups and record types keep each other's checks.
TEST_F(FilterWindowTest, ChecksFilterTheProtocolWindowsAndTheMonitor) {
    TfProtocolForm p(S, QString::fromStdString(File));
    p.SetFilterState(1);
    const TTable& monitorRows = M->Recorder().Table();
    TfFilter w(S);
    QListWidget* groups = w.GroupList();
    QListWidget* types = w.RecordTypeList();
    const int a = Index(w.Groups(), "a");
    const int t020 = Index(w.RecordTypes(), "020");

    Click(types, t020);
    EXPECT_EQ(Env.FilterSatzArten(), "020;");
    EXPECT_TRUE(Checked(groups, a)) << "a record type checks its group";
    EXPECT_FALSE(Checked(groups, Index(w.Groups(), "l")));
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"a1", "a2"}));
    EXPECT_EQ(Shown(*M, monitorRows), (TNames{"a1", "a2"}));
    Capture("a3", 5000);
    Capture("l002", 5700);
    EXPECT_EQ(Shown(*M, monitorRows), (TNames{"a1", "a2", "a3"})) << "new rows are filtered";

    // the last checked record type of a group unchecks it
    Click(types, t020);
    EXPECT_FALSE(Checked(groups, a));
    EXPECT_EQ(Env.FilterSatzArten(), "");
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"a1", "a10", "l001", "a2", "z034"}))
        << "no record type checked: everything passes";

    // a group checks all its record types (the answers' 120 too)
    Click(groups, a);
    EXPECT_EQ(Env.FilterKuerzel(), "a;");
    for (const char* no : {"020", "021", "021a", "120"})
        EXPECT_TRUE(Checked(types, Index(w.RecordTypes(), no))) << no;
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"a1", "a10", "a2"}));

    // "Keine" and "Alle"
    w.NoneButton()->click();
    EXPECT_EQ(Env.FilterSatzArten(), "");
    EXPECT_EQ(Env.FilterKuerzel(), "");
    for (int k = 0; k < groups->count(); ++k)
        EXPECT_FALSE(Checked(groups, k));
    w.AllButton()->click();
    for (int k = 0; k < types->count(); ++k)
        EXPECT_TRUE(Checked(types, k));
    EXPECT_EQ(Env.FilterKuerzel(), "a;d;e;k;l;q;u;v;w;x;z;");
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"a1", "a10", "l001", "a2", "z034"}));

    w.NeverFilterErrorsBox()->click();
    EXPECT_FALSE(Env.NeverFilterErrors());
    w.NeverFilterErrorsBox()->click();
    EXPECT_TRUE(Env.NeverFilterErrors());
}

// A row of a checked record type matched only approximately ([021]) is
// hidden, unless it has error letters and faulty telegrams stay visible.
TEST_F(FilterWindowTest, ApproximateMatchesShowOnlyForTheirErrors) {
    TTable t = MakeProtocolTable();
    const auto row = [&](const char* telegram, const char* no, const char* errors) {
        const int r = t.AppendRow();
        t.SetRow(r, {"M", std::to_string(r + 1), "1000", " ", errors,
                     std::string(telegram) + "\r/", " ", no, " ", " "});
    };
    row("aA1x", "021", " ");
    row("aA2", "[021]", " ");
    row("aA3", "[021]", "S");
    const std::string file = Dir / "approx.PRO.CSV";
    SaveToCSV(t, file, '"', 0, std::nullopt, ';');
    TfProtocolForm p(S, QString::fromStdString(file));
    p.SetFilterState(1);
    TfFilter w(S);
    Click(w.RecordTypeList(), Index(w.RecordTypes(), "021"));
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"aA1x", "aA3"}));
    w.NeverFilterErrorsBox()->click();
    EXPECT_EQ(Shown(p, p.ShownTable()), (TNames{"aA1x"}));
}

// Templates: the name's leading blanks go at once, save stores groups by
// description and record types by number, selecting restores the checks
// and the box, delete asks and removes; the file keeps them for the next
// run.
TEST_F(FilterWindowTest, TemplatesSaveSelectDelete) {
    auto w = std::make_unique<TfFilter>(S);
    QComboBox* box = w->TemplateBox();
    EXPECT_FALSE(w->SaveButton()->isEnabled());
    EXPECT_FALSE(w->DeleteButton()->isEnabled());
    QTest::keyClicks(box->lineEdit(), "  ");
    EXPECT_EQ(box->currentText(), "");
    EXPECT_FALSE(w->SaveButton()->isEnabled()) << "blanks alone name nothing";
    QTest::keyClicks(box->lineEdit(), "  Anzeige");
    EXPECT_EQ(box->currentText(), "Anzeige");
    EXPECT_EQ(box->lineEdit()->cursorPosition(), 7);
    EXPECT_TRUE(w->SaveButton()->isEnabled());

    Click(w->RecordTypeList(), Index(w->RecordTypes(), "021"));
    Click(w->RecordTypeList(), Index(w->RecordTypes(), "003"));
    {
        TAutoAnswer ok(QMessageBox::Ok);
        w->SaveButton()->click();
        EXPECT_EQ(ok.Count, 1);
        EXPECT_EQ(ok.LastText, "Die aktuellen Einstellungen wurden als Filter \"Anzeige\" "
                               "gespeichert.");
    }
    EXPECT_TRUE(w->DeleteButton()->isEnabled());
    {
        const TIniFile ini(IniFile());
        EXPECT_EQ(ini.SectionKeys("Filter"), TNames{"Anzeige"});
        TNames keys = ini.SectionKeys("Anzeige");
        std::sort(keys.begin(), keys.end());
        EXPECT_EQ(keys, (TNames{"003", "021", "Anzeigen", "NeverFilterErrors", "Ziel"}));
    }
    // a second one, without the box
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "Linie");
    EXPECT_FALSE(w->DeleteButton()->isEnabled()) << "editing disables delete";
    w->NoneButton()->click();
    Click(w->GroupList(), Index(w->Groups(), "l"));
    w->NeverFilterErrorsBox()->click();
    {
        TAutoAnswer ok(QMessageBox::Ok);
        w->SaveButton()->click();
    }
    EXPECT_EQ(box->count(), 2);

    // back to the first: checks and box restored, applied at once
    w->SelectTemplate("Anzeige");
    EXPECT_EQ(Env.FilterSatzArten(), "003;021;");
    EXPECT_TRUE(Env.NeverFilterErrors());
    EXPECT_TRUE(w->NeverFilterErrorsBox()->isChecked());
    EXPECT_FALSE(Checked(w->GroupList(), Index(w->Groups(), "l")));
    EXPECT_TRUE(w->SaveButton()->isEnabled());
    EXPECT_TRUE(w->DeleteButton()->isEnabled());
    EXPECT_TRUE(w->GroupList()->isEnabled());
    w->SelectTemplate("Linie");
    EXPECT_FALSE(w->NeverFilterErrorsBox()->isChecked()) << "saved without the box: cleared";
    EXPECT_FALSE(Env.NeverFilterErrors());
    EXPECT_TRUE(Checked(w->RecordTypeList(), Index(w->RecordTypes(), "001a")));

    // the next run finds both
    w.reset();
    w = std::make_unique<TfFilter>(S);
    box = w->TemplateBox();
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), "");

    // delete: "No" keeps it, "Yes" removes it
    w->SelectTemplate("Linie");
    {
        TAutoAnswer no(QMessageBox::No);
        w->DeleteButton()->click();
        EXPECT_EQ(no.LastText, "Möchten Sie den Filter \"Linie\" wirklich löschen?");
    }
    EXPECT_EQ(box->count(), 2);
    {
        TAutoAnswer yes(QMessageBox::Yes);
        w->DeleteButton()->click();
    }
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(box->currentText(), "");
    EXPECT_FALSE(w->SaveButton()->isEnabled());
    EXPECT_FALSE(w->DeleteButton()->isEnabled());
    const TIniFile ini(IniFile());
    EXPECT_EQ(ini.SectionKeys("Filter"), TNames{"Anzeige"});
    EXPECT_FALSE(ini.SectionExists("Linie"));
}

// A template naming a record type the catalogue no longer has: the rest of
// it applies. The name of the list's own section is refused.
TEST_F(FilterWindowTest, TemplatesWithUnknownEntriesAndReservedNames) {
    {
        TIniFile ini(IniFile());
        ini.WriteString("Filter", "Alt", "1");
        ini.WriteString("Alt", "999", "1");
        ini.WriteString("Alt", "020", "1");
        ini.UpdateFile();
    }
    TfFilter w(S);
    ASSERT_EQ(w.TemplateBox()->count(), 1);
    w.SelectTemplate("Alt");
    EXPECT_EQ(Env.FilterSatzArten(), "020;");
    EXPECT_TRUE(Checked(w.GroupList(), Index(w.Groups(), "a")));

    for (const char* name : {"filter", "a=b", "[x]"}) {
        w.TemplateBox()->setEditText(QString::fromLatin1(name));
        TAutoAnswer ok(QMessageBox::Ok);
        w.SaveTemplate();
        EXPECT_EQ(ok.Count, 1) << name;
        EXPECT_EQ(w.TemplateBox()->count(), 1) << name;
    }
    const TIniFile ini(IniFile());
    EXPECT_EQ(ini.SectionKeys("Filter"), TNames{"Alt"});
}

// A template file that cannot be read or written: the user is told where,
// the list of templates stays as it was.
TEST_F(FilterWindowTest, ATemplateFileThatCannotBeUsedIsReported) {
    std::filesystem::create_directories(IniFile()); // a folder in the file's place
    TAutoAnswer ok(QMessageBox::Ok);
    TfFilter w(S);
    EXPECT_EQ(ok.Count, 1);
    EXPECT_TRUE(ok.LastText.startsWith("Die Vorlagen konnten nicht gelesen werden:\n" +
                                       QString::fromStdString(IniFile())))
        << ok.LastText.toStdString();
    w.TemplateBox()->setEditText(QStringLiteral("Anzeige"));
    w.SaveTemplate();
    EXPECT_EQ(ok.Count, 2);
    EXPECT_TRUE(ok.LastText.startsWith("Die Vorlagen konnten nicht gespeichert werden:\n" +
                                       QString::fromStdString(IniFile())))
        << ok.LastText.toStdString();
    EXPECT_EQ(w.TemplateBox()->count(), 0);
    EXPECT_FALSE(w.DeleteButton()->isEnabled());
}

// Without IBIS_Frame.CSV, or with a broken line in it, the four-line box;
// the lines that could be read are listed, the record types are not
// affected.
TEST_F(FilterWindowTest, MissingOrDamagedFrameFile) {
    const std::string catalogue = Dir.Write("data/IBIS.CSV", test::ReadFile(kCatalogue));
    TIBISTelegramParser parser(catalogue);
    TSession session(Env, parser);
    {
        TAutoAnswer ok(QMessageBox::Ok);
        TfFilter w(session);
        EXPECT_EQ(ok.Count, 0) << "the box waits until the window is made";
        ASSERT_TRUE(WaitFor([&] { return ok.Count == 1; }));
        EXPECT_EQ(ok.LastText, "Die Datei IBIS_Frame.CSV fehlt oder ist beschädigt.\n"
                               "Diese Datei ist nicht zwingend für den Betrieb des Programms "
                               "nötig.\nEs werden jedoch einige Funktionen nicht verfügbar "
                               "sein.\nStellen Sie IBIS_Frame.CSV von Ihrer Original-CD wieder "
                               "her.");
        EXPECT_EQ(w.GroupList()->count(), 0);
        EXPECT_GT(w.RecordTypeList()->count(), 30);
    }
    Dir.Write("data/IBIS_Frame.CSV", "\"l\";\"Liniennummer\"\r\n\"kaputt\"\r\n\"z\";\"Ziel\"\r\n");
    TAutoAnswer ok(QMessageBox::Ok);
    TfFilter w(session);
    ASSERT_TRUE(WaitFor([&] { return ok.Count == 1; }));
    EXPECT_EQ(w.GroupList()->count(), 2);

    // a language switch refills the lists from inside its change event: the
    // box comes once, after that event, and the window is still there
    SetUiLanguage(2);
    ASSERT_TRUE(WaitFor([&] { return ok.Count == 2; }));
    EXPECT_EQ(ok.LastText.section('\n', 0, 0), "The file IBIS_Frame.CSV is missing or damaged.");
    QTest::qWait(50);
    EXPECT_EQ(ok.Count, 2);
    SetUiLanguage(1);
    ASSERT_TRUE(WaitFor([&] { return ok.Count == 3; }));
}

// A language switch fills the lists again and keeps the checks.
TEST_F(FilterWindowTest, LanguageSwitchRefillsTheLists) {
    TfFilter w(S);
    Click(w.RecordTypeList(), Index(w.RecordTypes(), "021"));
    w.GroupList()->setCurrentRow(3);
    SetUiLanguage(2);
    ASSERT_TRUE(WaitFor([&] { return w.AllButton()->text() == "All"; }));
    EXPECT_EQ(w.DeleteButton()->text(), "Delete template");
    EXPECT_EQ(w.GroupList()->currentRow(), 3) << "the current entry stays";
    EXPECT_EQ(w.NeverFilterErrorsBox()->text(), "Never filter out erroneous telegrams");
    EXPECT_EQ(w.Caption(), "Filter");
    EXPECT_EQ(w.GroupList()->count(), 11);
    EXPECT_TRUE(Checked(w.RecordTypeList(), Index(w.RecordTypes(), "021")));
    EXPECT_TRUE(Checked(w.GroupList(), Index(w.Groups(), "a")));
    // the groups in the English column of IBIS_Frame.CSV; a template still
    // names them by the first column
    const int a = Index(w.Groups(), "a");
    EXPECT_EQ(w.GroupList()->item(a)->text(), QString::fromUtf8("a\u00A0Displays"));
    EXPECT_EQ(w.Groups()[static_cast<std::size_t>(a)].Rec.Text, "Anzeigen");
    SetUiLanguage(1);
    EXPECT_TRUE(WaitFor([&] { return w.AllButton()->text() == "Alle"; }));
    EXPECT_EQ(w.GroupList()->item(a)->text(), QString::fromUtf8("a\u00A0Anzeigen"));
}

// A selected entry is filled orange, lighter while the list has no focus;
// when shown, the first group is the current entry and has the focus.
TEST_F(FilterWindowTest, SelectedEntryIsOrange) {
    TfFilter w(S);
    w.resize(600, 300);
    w.show();
    QApplication::processEvents();
    QListWidget* list = w.GroupList();
    ASSERT_EQ(list->currentRow(), 0);
    ASSERT_TRUE(list->hasFocus());
    const QRect r = list->visualItemRect(list->item(0));
    const auto colourAt = [&](const QRect& item) {
        return list->viewport()->grab().toImage().pixelColor(item.right() - 2, item.center().y());
    };
    EXPECT_EQ(colourAt(r), QColor(0xFF, 0x80, 0x00));
    w.TemplateBox()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(colourAt(r), QColor(0xFF, 0xB7, 0x6F));
    EXPECT_EQ(colourAt(list->visualItemRect(list->item(1))), list->palette().color(QPalette::Base));
}

} // namespace
} // namespace vaskel
