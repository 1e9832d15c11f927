// The record-type editor on Qt's offscreen platform: the catalogue as a
// locked table, the lock, the first-use hint, master and answers, sorting,
// the description columns, saving with the check, the backup and the
// reload, and the one window of the main window.

#include "ui/catalogue/DatensatzForm.h"

#include "lists/CatalogueTable.h"
#include "platform/QtText.h"
#include "telegram/Errors.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/main/MainFormFixture.h"
#include "ui/widgets/BalloonHint.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace vaskel {
namespace {

namespace C = CatalogueColumn;

const std::string kFile =
    "// Vaskel record types\r\n"
    "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Liniennummer\";\"Line number\"\r\n"
    "\"020\";\"a @1H\";\"a1\";-1;\"120\";0;-1;\"Statusabfrage\";\"Status request\"\r\n"
    "\"120\";\"a @1H, 1Z\";\"a10\";0;\"\";0;-1;\"Statusantwort\";\"Status answer\"\r\n"
    "\"005\";\"u 4Z\";\"u1432\";-1;\"\";0;-1;\"Uhrzeit\";\"Time\"\r\n";

class DatensatzFormTest : public ::testing::Test {
protected:
    DatensatzFormTest() {
        Platform.Program = Dir / "Vaskel";
        SetUiLanguage(1);
    }
    ~DatensatzFormTest() override {
        TBalloonHint::CloseCurrent();
        if (W) W->Model().Table().Modified = false;
        W.reset();
        SetUiLanguage(1);
    }
    void Open() {
        W = std::make_unique<TfDatensatzForm>(
            S, QStringList{QStringLiteral("Deutsch"), QStringLiteral("English")});
        W->resize(1000, 400);
        W->show();
    }
    std::string Cell(int row, int col) const {
        return std::string(W->Model().Table().Cell(col, row));
    }
    int RowOf(const char* no) const {
        for (int r = 0; r < W->Model().rowCount(); ++r)
            if (Cell(r, C::RecordNo) == no) return r;
        return -1;
    }
    void Set(int row, int col, const QString& text) {
        W->Model().setData(W->Model().index(row, col), text, Qt::EditRole);
    }
    void Check(int row, int col, bool on) {
        W->Model().setData(W->Model().index(row, col), on ? Qt::Checked : Qt::Unchecked,
                           Qt::CheckStateRole);
    }
    QString Title(int col) const {
        return W->Model().headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    }

    test::TempDir Dir;
    std::string File = Dir.Write("IBIS.CSV", kFile);
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{File};
    TSession S{Env, Parser};
    std::unique_ptr<TfDatensatzForm> W;
};

TEST_F(DatensatzFormTest, OpensLockedWithTheCatalogueSortedByPattern) {
    Open();
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze"));
    ASSERT_EQ(W->Model().rowCount(), 4);
    const char* order[] = {"020", "120", "001", "005"}; // "a @1H" < "a @1H, 1Z" < "l 3Z" < "u 4Z"
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(Cell(r, C::RecordNo), order[r]);
    EXPECT_EQ(Cell(0, C::Master), "-1");
    EXPECT_EQ(Cell(0, C::Answers), "120");
    EXPECT_EQ(Cell(1, C::Master), "0");
    EXPECT_EQ(Cell(2, 7), "Liniennummer");
    EXPECT_EQ(Cell(2, 8), "Line number") << "the second description comes from the file";

    // titles, styles and hints
    const char* titles[] = {"DS-Nr.",  "Muster", "Beispiel", "Master",
                            "Antwort", "Zugbus", "Filter",   "Beschreibung Deutsch"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(Title(c), QString::fromUtf8(titles[c]));
    EXPECT_EQ(W->Model().Table().Style(C::Master), TZK_InputStyle::csBoolean);
    EXPECT_EQ(W->Model().data(W->Model().index(1, C::Master), Qt::CheckStateRole).toInt(),
              Qt::Unchecked);
    EXPECT_EQ(W->Model().headerData(C::Pattern, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Kodierung für diese Datensatzart"));

    // locked: rows selected, nothing editable, nothing to save
    EXPECT_TRUE(W->Locked());
    EXPECT_EQ(W->View()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(W->Model().flags(W->Model().index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(W->SaveButton()->isEnabled());
    EXPECT_FALSE(W->ActivateButton()->isVisible());
    EXPECT_EQ(
        W->LockButton()->toolTip(),
        QStringLiteral("Zur Vermeidung von Fehleingaben ist die Datensatzübersicht gesperrt."));
    Set(0, C::Example, QStringLiteral("x"));
    EXPECT_EQ(Cell(0, C::Example), "a1");

    // the lock button unlocks and locks again
    W->LockButton()->click();
    EXPECT_FALSE(W->Locked());
    EXPECT_EQ(W->View()->selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_TRUE(W->Model().flags(W->Model().index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(W->SaveButton()->isEnabled());
    EXPECT_EQ(W->LockButton()->toolTip(), QStringLiteral("Die Datensätze können editiert werden."));
    W->LockButton()->click();
    EXPECT_TRUE(W->Locked());
    EXPECT_FALSE(W->SaveButton()->isEnabled());
}

TEST_F(DatensatzFormTest, DescriptionColumnsFollowTheLanguages) {
    Open();
    EXPECT_FALSE(W->View()->isColumnHidden(7));
    EXPECT_TRUE(W->View()->isColumnHidden(8));
    // the additional language shows its column beside the active one
    ASSERT_EQ(W->LanguageBox()->count(), 3);
    EXPECT_EQ(W->LanguageBox()->itemText(0), QString());
    // the active language's column is shown anyway: not offered again
    auto enabled = [this](int i) {
        return bool(W->LanguageBox()->model()->flags(W->LanguageBox()->model()->index(i, 0)) &
                    Qt::ItemIsEnabled);
    };
    EXPECT_FALSE(enabled(1)) << "Deutsch while the program speaks German";
    EXPECT_TRUE(enabled(2));
    W->LanguageBox()->setCurrentIndex(2);
    EXPECT_FALSE(W->View()->isColumnHidden(8));
    EXPECT_EQ(Title(8), QStringLiteral("Beschreibung Englisch"));
    EXPECT_EQ(Title(7), QStringLiteral("Beschreibung Deutsch"));
    W->LanguageBox()->setCurrentIndex(0);
    EXPECT_TRUE(W->View()->isColumnHidden(8));

    // in English: the English titles and the English description column
    SetUiLanguage(2);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(W.get(), &change);
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS record types"));
    const char* titles[] = {"Record no.", "Pattern",   "Example", "Master",          "Response",
                            "Train bus",  "Filter",    "Description German", "Description English"};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(Title(c), QString::fromUtf8(titles[c]));
    EXPECT_TRUE(enabled(1));
    EXPECT_FALSE(enabled(2)) << "English while the program speaks English";
    EXPECT_TRUE(W->View()->isColumnHidden(7));
    EXPECT_FALSE(W->View()->isColumnHidden(8));
    EXPECT_EQ(W->LockButton()->toolTip(),
              QStringLiteral("The table of record types is locked to avoid accidental changes."));
}

TEST_F(DatensatzFormTest, TheLockedTableExplainsItselfOnceAndOnDoubleClick) {
    Open();
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "opening is no selection";
    W->View()->setCurrentIndex(W->Model().index(2, 1));
    ASSERT_NE(TBalloonHint::Current(), nullptr);
    EXPECT_EQ(TBalloonHint::Current()->Title(), QStringLiteral("Hinweis"));
    EXPECT_EQ(TBalloonHint::Current()->Anchor(), W->LockButton());
    EXPECT_TRUE(TBalloonHint::Current()->Text().startsWith(QStringLiteral(
        "Um Fehleingaben zu vermeiden, ist die Bearbeitung der Datensätze\nzunächst")));
    EXPECT_EQ(TBalloonHint::Current()->Text().count(QLatin1Char('\n')), 4);
    EXPECT_TRUE(Env.HintGiven(THint::LockedGridHintGiven));
    TBalloonHint::CloseCurrent();
    W->View()->setCurrentIndex(W->Model().index(3, 1));
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "once per user";
    // a double click on the locked table, every time
    const QRect cell = W->View()->visualRect(W->Model().index(1, 1));
    QTest::mousePress(W->View()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(W->View()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(TBalloonHint::Current(), nullptr);
    QTest::mouseDClick(W->View()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_NE(TBalloonHint::Current(), nullptr);
}

TEST_F(DatensatzFormTest, MasterAndAnswersAndTheChangeMark) {
    Open();
    W->LockButton()->click();
    const int slave = RowOf("120"), master = RowOf("020");
    // answers typed on a slave row make it a master telegram
    Set(slave, C::Answers, QStringLiteral("121"));
    EXPECT_EQ(Cell(slave, C::Master), "-1");
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze*"));
    // unchecking master empties the answers
    Check(master, C::Master, false);
    EXPECT_EQ(Cell(master, C::Answers), "");
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze*")) << "one star only";

    // saving: a row whose master cell is "0" has no answers, whatever the
    // cell held
    TTable& t = W->Model().Table();
    t.SetCell(C::Master, slave, "0");
    t.SetCell(C::Answers, slave, "999");
    ASSERT_TRUE(W->SaveList());
    EXPECT_EQ(Cell(slave, C::Answers), "");
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze"));
    for (const TWagenbusProfileRecord& r : *Parser.ProfileArray()) {
        if (r.RecordNo == "120") {
            EXPECT_EQ(r.Answers, "");
        }
    }
}

TEST_F(DatensatzFormTest, SaveWritesBackupAndFileAndTheClassifierUsesTheEdit) {
    Open();
    W->LockButton()->click();
    QSignalSpy reloaded(&S, &TSession::CatalogueReloaded);
    // a record type the catalogue did not know, and 005 changed
    ASSERT_TRUE(W->AppendRow());
    const int row = W->Model().rowCount() - 1;
    Set(row, C::RecordNo, QStringLiteral("077"));
    Set(row, C::Pattern, QStringLiteral("yQ 2Z"));
    Set(row, C::Example, QStringLiteral("yQ12"));
    Check(row, C::TrainBus, false);
    Set(row, 7, QStringLiteral("Neu"));
    Set(row, 8, QStringLiteral("New"));
    Set(RowOf("005"), C::Pattern, QStringLiteral("u 6Z"));
    Set(RowOf("005"), C::Example, QStringLiteral("u143015"));
    EXPECT_EQ(Parser.Classify("yQ12", true, TBusType::bsVehicleBus).RecordNo, "");

    W->SaveButton()->click();
    EXPECT_EQ(test::ReadFile(Dir / "IBIS.BAK"), kFile);
    const std::string written = test::ReadFile(File);
    EXPECT_EQ(written.rfind("// Vaskel record types\r\n", 0), 0u) << "the comment stays";
    EXPECT_NE(written.find("\"077\";\"yQ 2Z\";\"yQ12\";-1;\"\";0;-1;\"Neu\";\"New\"\r\n"),
              std::string::npos)
        << written;
    EXPECT_EQ(reloaded.count(), 1);
    const TTelegramRecord added = Parser.Classify("yQ12", true, TBusType::bsVehicleBus);
    EXPECT_EQ(added.RecordNo, "077");
    EXPECT_TRUE(added.ExactMatch);
    EXPECT_TRUE(Parser.Classify("u143015", true, TBusType::bsVehicleBus).ExactMatch);
    EXPECT_FALSE(Parser.Classify("u1432", true, TBusType::bsVehicleBus).ExactMatch);

    // opened again: the texts of both languages are back
    W.reset();
    Open();
    const int again = RowOf("077");
    ASSERT_GE(again, 0);
    EXPECT_EQ(Cell(again, 7), "Neu");
    EXPECT_EQ(Cell(again, 8), "New");
}

TEST_F(DatensatzFormTest, ABrokenPatternIsCaughtBeforeSaving) {
    Open();
    W->LockButton()->click();
    const int row = RowOf("001");
    Set(row, C::Pattern, QStringLiteral("l [3Z"));
    QStringList asked;
    bool saveAnyway = false;
    W->AskSaveDespiteProblems = [&](const QString& text) {
        asked << text;
        return saveAnyway;
    };
    // fix: nothing written, the row to fix is the current one
    EXPECT_FALSE(W->SaveList());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("DS 001: Musterfehler bei Zeichen 2: \"[\" ohne \"]\""));
    EXPECT_EQ(test::ReadFile(File), kFile);
    EXPECT_FALSE(std::filesystem::exists(Dir / "IBIS.BAK"));
    EXPECT_EQ(W->View()->currentIndex().row(), row);
    EXPECT_TRUE(W->Model().Table().Modified);
    // save anyway: written and loaded as it stands
    saveAnyway = true;
    EXPECT_TRUE(W->SaveList());
    EXPECT_NE(test::ReadFile(File).find("\"l [3Z\""), std::string::npos);
    EXPECT_FALSE(Parser.Classify("l001", true, TBusType::bsVehicleBus).ExactMatch);
}

// A pattern typed into its cell, saved through "Trotzdem speichern": the
// window is clean afterwards, closes without a question, and asks again
// only after the next change.
TEST_F(DatensatzFormTest, SavedAnywayTheWindowIsCleanAndAsksOnlyAfterTheNextChange) {
    Open();
    QApplication::setActiveWindow(W.get());
    W->LockButton()->click();
    const int row = RowOf("001");
    W->View()->setFocus();
    W->View()->setCurrentIndex(W->Model().index(row, C::Pattern));
    QApplication::processEvents();
    QTest::keyClick(W->View(), Qt::Key_L, Qt::NoModifier);
    auto* editor = W->View()->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral(" [3Z"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(Cell(row, C::Pattern), "l [3Z");
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze*"));

    {
        TAutoAnswer anyway(QMessageBox::Save);
        QTest::mouseClick(W->SaveButton(), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_EQ(anyway.Count, 1) << "the check's message, answered \"Trotzdem speichern\"";
        EXPECT_NE(test::ReadFile(File).find("\"l [3Z\""), std::string::npos) << "written";
        EXPECT_FALSE(W->Model().Table().Modified);
        EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze")) << "no star after it";
        EXPECT_TRUE(W->MayClose());
        EXPECT_EQ(anyway.Count, 1) << "nothing to ask";
    }

    // a change after it: the star, and the question on closing
    Set(row, 7, QStringLiteral("Linie"));
    EXPECT_EQ(W->windowTitle(), QStringLiteral("IBIS-Datensätze*"));
    TAutoAnswer cancel(QMessageBox::Cancel);
    EXPECT_FALSE(W->MayClose());
    EXPECT_EQ(cancel.Count, 1);
}

TEST_F(DatensatzFormTest, AFileThatCannotBeWrittenLosesNothing) {
    Open();
    W->LockButton()->click();
    Set(RowOf("001"), 7, QStringLiteral("Linie"));
    // the backup cannot be made: a folder of its name is in the way
    std::filesystem::create_directory(Dir / "IBIS.BAK");
    TAutoAnswer ok(QMessageBox::Ok);
    EXPECT_FALSE(W->SaveList());
    EXPECT_EQ(ok.Count, 1);
    EXPECT_TRUE(ok.LastText.startsWith(QStringLiteral("Die Datensätze konnten nicht gespeichert")));
    EXPECT_EQ(test::ReadFile(File), kFile);
    EXPECT_TRUE(W->Model().Table().Modified);
}

TEST_F(DatensatzFormTest, AFailedReloadKeepsTheCatalogueInForce) {
    QSignalSpy reloaded(&S, &TSession::CatalogueReloaded);
    Dir.Write("IBIS.CSV", "\"001\";\"l 3Z\";\"l001\"\r\n"); // too few fields
    EXPECT_THROW(S.ReloadCatalogue(), EFileError);
    EXPECT_EQ(reloaded.count(), 0);
    EXPECT_TRUE(Parser.Classify("l001", true, TBusType::bsVehicleBus).ExactMatch);
    EXPECT_EQ(Parser.ProfileArray()->size(), 4u);
}

TEST_F(DatensatzFormTest, ATitleClickSortsByItsColumn) {
    Open();
    W->View()->setCurrentIndex(W->Model().index(1, 0));
    const QHeaderView* header = W->View()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(W->SortColumn(), 0);
    const char* order[] = {"001", "005", "020", "120"};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(Cell(r, C::RecordNo), order[r]);
    EXPECT_TRUE(W->Model().headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(W->Model().headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(W->View()->currentIndex().row(), 1);
    EXPECT_FALSE(W->Model().Table().Modified) << "sorting changes no record type";
    // by the example
    W->SortBy(C::Example);
    EXPECT_EQ(Cell(0, C::Example), "a1");
    EXPECT_EQ(Cell(3, C::Example), "u1432");
}

TEST_F(DatensatzFormTest, TheCloseQuestion) {
    Open();
    W->LockButton()->click();
    Set(0, 7, QStringLiteral("geändert"));
    {
        TAutoAnswer cancel(QMessageBox::Cancel);
        EXPECT_FALSE(W->MayClose());
        EXPECT_EQ(cancel.Count, 1);
    }
    {
        TAutoAnswer no(QMessageBox::No);
        EXPECT_TRUE(W->MayClose());
        EXPECT_EQ(test::ReadFile(File), kFile);
    }
    // locked again after the change: "Ja" still saves it
    W->LockButton()->click();
    TAutoAnswer yes(QMessageBox::Yes);
    EXPECT_TRUE(W->MayClose());
    EXPECT_NE(test::ReadFile(File).find("\"ge\xE4ndert\""), std::string::npos);
}

class RecordTypeWindowTest : public MainWindowTest {};

TEST_F(RecordTypeWindowTest, OpensOnceAndComesToTheFront) {
    Start(TScenario::Idle);
    QAction* action = W->Action(TAct::acDatensatz);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    const QString name = QStringLiteral("DatensatzForm");
    auto forms = W->findChildren<TfChildWindow*>(name);
    ASSERT_EQ(forms.size(), 1);
    TfChildWindow* form = forms.front();
    // another window in front, then the second request
    W->OpenMonitor();
    EXPECT_NE(W->Area()->ActiveWindow(), form);
    action->trigger();
    EXPECT_EQ(W->findChildren<TfChildWindow*>(name).size(), 1);
    EXPECT_EQ(W->Area()->ActiveWindow(), form);
}

} // namespace
} // namespace vaskel
