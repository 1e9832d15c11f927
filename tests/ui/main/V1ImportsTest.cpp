// The imports of version-1 tables from the main window: each action opens
// the rows in a new, modified window of its kind (response-list editor,
// call-list editor, protocol window), which saves in the current format; a
// table that does not fit gives the import's error box and no window.

#include "MainFormFixture.h"

#include "import/ParadoxWriter.h"
#include "import/V1Import.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "ui/common/FileDialogs.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/main/ResponseListCommands.h"
#include "ui/main/V1Imports.h"

namespace vaskel {
namespace {

class V1ImportWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        Start(TScenario::Unpowered);
        test::WriteSampleTables(Tables());
        W->V1Imports()->SetAskFile([this](const TFileDialogSpec& spec) {
            Asked.push_back(spec);
            return Chosen;
        });
    }
    std::filesystem::path Tables() const { return Dir.Path() / "v1"; }
    QString Table(const char* name) const { return FromFileName((Tables() / name).string()); }
    template <class Form> Form* Only() {
        const QList<TfChildWindow*> windows = W->Area()->Windows();
        return windows.size() == 1 ? dynamic_cast<Form*>(windows.front()) : nullptr;
    }
    // The saved rows are no longer waiting: the window closes without asking.
    static void Forget(TTable& t) { t.Modified = false; }

    QString Chosen;
    std::vector<TFileDialogSpec> Asked;
};

TEST_F(V1ImportWindowTest, TheActionsAreAlwaysThere) {
    for (TAct a :
         {TAct::acV1ImportAnwortliste, TAct::acV1ImportAufrufliste, TAct::acV1ImportProtocol})
        EXPECT_TRUE(W->Action(a)->isEnabled());
}

TEST_F(V1ImportWindowTest, AResponseListOpensInANewModifiedEditorAndSavesInTheCurrentFormat) {
    TAutoAnswer guard(QMessageBox::Ok);
    Chosen = Table("ANTWORT.DB");
    W->Action(TAct::acV1ImportAnwortliste)->trigger();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Title, QStringLiteral("Version 1.x-Antwortliste importieren"));
    EXPECT_EQ(Asked[0].DefaultSuffix, QStringLiteral("DB"));
    EXPECT_EQ(Asked[0].Filters.first(), QStringLiteral("V1.x Antwortliste (*.DB)"));
    EXPECT_TRUE(Asked[0].Folder.isEmpty()) << "no starting folder";

    auto* form = Only<TfAntwortListenForm>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(guard.Count, 0);
    TTable& t = form->ResponseTable();
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.Cell(1, 1), "zM\xFCnchen\r");
    EXPECT_EQ(form->Model().rowCount(), 3);
    EXPECT_EQ(form->CurrentRow(), 0) << "row 1 is current";
    EXPECT_TRUE(form->FileName().isEmpty()) << "a new list without a file";
    EXPECT_TRUE(form->windowTitle().endsWith(QLatin1Char('*'))) << "modified";
    EXPECT_TRUE(form->SaveButton()->isEnabled()) << "row 1 is complete: it can be saved";

    const QString saved = FromFileName((Dir.Path() / "neu.ANT.CSV").string());
    form->AskSaveFile = [&](const TFileDialogSpec&) { return saved; };
    ASSERT_TRUE(form->SaveList());
    TTable back = MakeResponseListTable();
    ASSERT_TRUE(OpenListFile(back, ToFileName(saved), TListKind::Antwort).Loaded);
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.Cell(2, 2), "A\xC4\xD6\xDC\xDF");
    ASSERT_NE(W->ResponseLists()->Open(saved), nullptr);
    EXPECT_EQ(W->Area()->Windows().size(), 1) << "the saved file is the editor's";
}

TEST_F(V1ImportWindowTest, ACallListComesFromACallListOrAProtocolTable) {
    TAutoAnswer guard(QMessageBox::Ok);
    Chosen = Table("AUFRUF.DB");
    TfAufrufListenForm* list = W->V1Imports()->ImportCallList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Asked.back().Title, QStringLiteral("Version 1.x-Aufrufliste importieren"));
    ASSERT_EQ(list->CallTable().RowCount(), 3);
    EXPECT_EQ(list->CallTable().Cell(1, 2), "zA1 Stra\xDF"
                                            "e");
    EXPECT_TRUE(list->CallTable().Modified);

    Chosen = Table("PROTOKOLL.DB");
    TfAufrufListenForm* fromProtocol = W->V1Imports()->ImportCallList();
    ASSERT_NE(fromProtocol, nullptr);
    TTable& t = fromProtocol->CallTable();
    ASSERT_EQ(t.RowCount(), 3) << "M, S, M: one row each";
    EXPECT_EQ(t.Cell(1, 0), "a1");
    EXPECT_EQ(t.Cell(3, 0), "0:10");
    EXPECT_TRUE(fromProtocol->Rows().IsUntouched(1)) << "the answer's row at the defaults";
    EXPECT_EQ(t.Cell(1, 2), "l001");
    EXPECT_EQ(W->Area()->Windows().size(), 2);
    EXPECT_EQ(guard.Count, 0);
    Forget(list->CallTable());
    Forget(t);
}

TEST_F(V1ImportWindowTest, AProtocolOpensUnderItsTableNameAndIsAnalysedAgain) {
    TAutoAnswer guard(QMessageBox::Ok);
    Env.SetImportPath(Dir.Path().string() + "/");
    Chosen = Table("PROTOKOLL.DB");
    W->Action(TAct::acV1ImportProtocol)->trigger();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Title, QStringLiteral("Version 1.x-Protokoll importieren"));
    EXPECT_EQ(Asked[0].Folder, FromFileName(Dir.Path().string() + "/")) << "starts at ImportPath";
    EXPECT_EQ(QDir(FromFileName(Env.ImportPath())), QDir(FromFileName(Tables().string())))
        << "the chosen file's folder is remembered";

    auto* form = Only<TfProtocolForm>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(guard.Count, 0);
    EXPECT_EQ(form->FileName(), Chosen);
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Protokoll ") + QDir::toNativeSeparators(Chosen) + QStringLiteral(" *"))
        << "a protocol captioned with the table's full path, changed (analysed again)";
    EXPECT_EQ(form->ProposedName(), QStringLiteral("PROTOKOLL.DB.PRO.CSV"));
    const TTable& t = form->ShownTable();
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.Cell(pcKind, 1), "S");
    EXPECT_EQ(t.Cell(pcHex, 2), "6C 30 30 31 0D");
    EXPECT_EQ(t.Cell(pcRecordNo, 2), Parser.Classify("l001\r", true, Env.BusType()).RecordNo);
    EXPECT_TRUE(t.Modified);

    const QString saved = FromFileName((Dir.Path() / "fahrt.PRO.CSV").string());
    ASSERT_TRUE(form->SaveTo(saved));
    TTable back = MakeProtocolTable();
    const TProtocolLoad info = LoadProtocolFile(back, ToFileName(saved), Parser, Env.BusType());
    EXPECT_FALSE(info.Reanalysed) << "the current format";
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.Cell(pcTelegram, 2), "l001\r");
}

TEST_F(V1ImportWindowTest, ATableThatDoesNotFitGivesTheErrorBoxAndNoWindow) {
    struct Case {
        const char* table;
        TAct action;
        const char* second;
    };
    for (const Case& c : {Case{"FALSCH.DB", TAct::acV1ImportAnwortliste,
                               "Möglicherweise ist es keine gültige Antwortliste?"},
                          Case{"FALSCH.DB", TAct::acV1ImportAufrufliste,
                               "Möglicherweise ist es keine gültige Aufrufliste?"},
                          Case{"FALSCH.DB", TAct::acV1ImportProtocol,
                               "Möglicherweise ist es kein gültiges IBIS-Protokoll?"},
                          Case{"KURZ.DB", TAct::acV1ImportProtocol,
                               "Möglicherweise ist es kein gültiges IBIS-Protokoll?"},
                          Case{"FEHLT.DB", TAct::acV1ImportAnwortliste,
                               "Möglicherweise ist es keine gültige Antwortliste?"}}) {
        TAutoAnswer guard(QMessageBox::Ok);
        Chosen = Table(c.table);
        W->Action(c.action)->trigger();
        EXPECT_EQ(guard.Count, 1) << c.table;
        EXPECT_EQ(guard.LastText,
                  QStringLiteral("Die Datei konnte nicht importiert werden, da sie ein falsches "
                                 "Format hat.\n") +
                      QString::fromUtf8(c.second));
        EXPECT_TRUE(W->Area()->Windows().isEmpty()) << c.table;
    }
    // cancelled dialog: nothing at all
    TAutoAnswer guard(QMessageBox::Ok);
    Chosen.clear();
    EXPECT_EQ(W->V1Imports()->ImportProtocol(), nullptr);
    EXPECT_EQ(guard.Count, 0);
}

TEST_F(V1ImportWindowTest, ACancelledProtocolImportShowsTheRowsReadSoFar) {
    std::vector<test::TPxRecord> records;
    for (int i = 0; i < 130; ++i)
        records.push_back(test::ProtocolRecord(i % 2 ? "S" : "M", i + 1, i * 10, 0, "", "a1\r"));
    test::WriteParadoxTable(Tables() / "LANG.DB", test::ProtocolColumns(false), records);
    W->V1Imports()->SetCancelProtocolAt([](int k) { return k == 100; });
    TAutoAnswer guard(QMessageBox::Ok);
    Chosen = Table("LANG.DB");
    TfProtocolForm* form = W->V1Imports()->ImportProtocol();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(guard.Count, 1);
    EXPECT_EQ(guard.LastText, QStringLiteral("Der Importvorgang wurde abgebrochen.\nEs wurden "
                                             "nicht alle Daten der V1.x-Datei importiert"));
    EXPECT_EQ(form->ShownTable().RowCount(), 100);
    EXPECT_EQ(form->ShownTable().Cell(pcNr, 99), "100") << "analysed again";
    EXPECT_TRUE(form->ShownTable().Modified);
    ASSERT_TRUE(form->SaveTo(FromFileName((Dir.Path() / "lang.PRO.CSV").string())));
}

} // namespace
} // namespace vaskel
