// The call-list editor on Qt's offscreen platform: its columns, the
// automatic description, the detail caption, the file (new, comma form,
// save), and the activate button against the session's active list.

#include "ui/editors/AufrufListenForm.h"
#include "ui/compose/ComposerForm.h"
#include "ui/editors/RecordTypeDelegate.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/FakeMainWindow.h"
#include "ui/UiTestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace vaskel {
namespace {

class AufrufListenFormTest : public ::testing::Test {
protected:
    AufrufListenFormTest() { Platform.Program = Dir / "Vaskel"; }
    ~AufrufListenFormTest() override {
        if (W) W->Model().Table().Modified = false;
        W.reset();
    }
    void Open(const QString& file) {
        W = std::make_unique<TfAufrufListenForm>(S, file);
        W->AskSaveFile = [this](const TFileDialogSpec& spec) {
            SeenSpec = spec;
            return SaveAs;
        };
        W->resize(900, 400);
        W->show();
    }
    void Set(int row, int col, const char* text) {
        W->Model().setData(W->Model().index(row, col), QString::fromUtf8(text), Qt::EditRole);
    }
    std::string Cell(int row, int col) const {
        return std::string(W->Model().Table().Cell(col, row));
    }
    QString Q(const std::string& s) const { return QString::fromStdString(s); }
    // The call cell's drop-down, opened on the current row.
    QComboBox* CallDropDown() {
        const QModelIndex call = W->Model().index(W->CurrentRow(), 1);
        W->View()->setCurrentIndex(call);
        W->View()->edit(call);
        // the one open now (an editor closed before may still wait for its
        // deletion)
        for (QComboBox* box : W->View()->findChildren<QComboBox*>(QStringLiteral("CallEditor")))
            if (box->isVisible()) return box;
        return nullptr;
    }
    // Chooses the line of a DS number in the call cell's drop-down; the
    // cell's text after it (null when the drop-down has no such line).
    QString PickCall(const char* recordNo) {
        QComboBox* box = CallDropDown();
        if (!box) return {};
        for (int k = 0; k < box->count(); ++k)
            if (box->model()->index(k, 1).data().toString() == QLatin1String(recordNo)) {
                box->setCurrentIndex(k);
                emit box->activated(k);
                QApplication::processEvents();
                return W->Model()
                    .data(W->Model().index(W->CurrentRow(), 1), Qt::EditRole)
                    .toString();
            }
        emit W->View()->itemDelegateForColumn(1)->closeEditor(box);
        return {};
    }
    std::string List(const char* name, const std::string& rows) {
        return Dir.Write(name, std::string(kAufrufHeader) + "\r\n" + rows);
    }
    // The session as it is while the monitor records and the device is
    // bus master (without a device: nothing is sent).
    void Master() {
        S.Status().SetDeviceOnline(true);
        S.Status().SetMaster(true);
        S.StartRecording();
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TSession S{Env, Parser};
    std::unique_ptr<TfAufrufListenForm> W;
    QString SaveAs;
    TFileDialogSpec SeenSpec;
};

TEST_F(AufrufListenFormTest, ANewListItsColumnsAndTheAutomaticDescription) {
    Open(QString());
    EXPECT_EQ(W->windowTitle(), QStringLiteral("Mastersimulation - Aufrufliste: Neu"));
    EXPECT_EQ(W->DialogHeader(), QStringLiteral("Neue Aufrufliste"));
    ASSERT_EQ(W->Model().rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "-1");
    EXPECT_EQ(Cell(0, 3), "0:10");
    const std::pair<int, const char*> titles[] = {
        {1, "Aufruf"}, {2, "Beschreibung"}, {3, "Intervall [mm:ss]"}};
    for (const auto& [col, title] : titles)
        EXPECT_EQ(W->Model().headerData(col, Qt::Horizontal, Qt::DisplayRole).toString(),
                  QString::fromUtf8(title));
    EXPECT_TRUE(W->Model()
                    .headerData(3, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .startsWith(QStringLiteral("Geben Sie das Sendeintervall ein.")));

    // the call column offers the catalogue's master record types
    const auto choices = RecordTypeChoices(Parser, true, TBusType::bsVehicleBus);
    ASSERT_FALSE(choices.empty());
    bool line = false;
    for (const auto& c : choices)
        line |= c[0] == "l" && c[1] == "001";
    EXPECT_TRUE(line) << "the line number, DS 001";

    const std::string expected = "Liniennummer";
    Set(0, 1, "l");
    EXPECT_EQ(Cell(0, 2), expected) << "the description of the type with this prefix";
    EXPECT_TRUE(W->windowTitle().endsWith(QLatin1Char('*')));
    Set(0, 2, "mein Text");
    Set(0, 1, "z");
    EXPECT_EQ(Cell(0, 2), "mein Text") << "a description of the user's stays";
    Set(0, 2, "  ");
    Set(0, 1, "keiner");
    EXPECT_EQ(Cell(0, 2), "  ") << "no type with this prefix: nothing filled in";

    // the detail button names the composer of the call's record type
    const std::pair<const char*, const char*> captions[] = {
        {"zA1abc", "DS 003a ..."}, {"  zI2", "DS 003c ..."}, {"aA1", "DS 021 ..."},
        {"eT", "DS 004c ..."},     {"aL1", "DS 021a ..."},   {"l001", "Detaileingabe ..."}};
    for (const auto& [call, caption] : captions) {
        Set(0, 1, call);
        EXPECT_EQ(W->DetailButton()->text(), QString::fromUtf8(caption)) << call;
    }
    // choosing a record type in the call cell's drop-down puts its example
    // there, and the description of that request follows
    Set(0, 1, "");
    Set(0, 2, "");
    EXPECT_EQ(PickCall("001"), QStringLiteral("l001"));
    EXPECT_EQ(Cell(0, 1), "l001");
    EXPECT_EQ(Cell(0, 2), expected) << "and the description follows";

    // a call of no display type: the composer asks which record to start
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            asked = d->windowTitle() == QStringLiteral("Datensatzauswahl");
            d->reject();
        }
    });
    W->DetailButton()->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(TfComposerForm::Current(), nullptr) << "cancelled: no composer";
}

// The drop-down lists the requests of the bus in use with their whole
// descriptions; a chosen request puts its example and its own description
// (not an answer's of the same prefix).
TEST_F(AufrufListenFormTest, TheCallDropDownOffersTheRequestsOfTheBusInUse) {
    struct TCase {
        TBusType Bus;
        const char* RecordNo;
        const char* Call;
        const char* Description;
    };
    const TCase cases[] = {
        {TBusType::bsVehicleBus, "020", "a1", "Statusabfrage an Anzeige (Adresse IBIS-hex)"},
        {TBusType::bsVehicleBus, "003", "z034", "Zielnummer"},
        {TBusType::bsTrainBus, "020", "a1", "Zugbus: Statusabfrage an Anzeige (Adresse IBIS-hex)"},
        {TBusType::bsTrainBus, "007", "w2", "Zugbus: Zuglänge"},
    };
    for (const TCase& c : cases) {
        Env.SetBusType(c.Bus);
        Open(QString());
        QComboBox* box = CallDropDown();
        ASSERT_NE(box, nullptr);
        const auto expected = RecordTypeChoices(Parser, true, c.Bus);
        ASSERT_EQ(box->count(), static_cast<int>(expected.size()));
        bool otherBus = false;
        for (int k = 0; k < box->count(); ++k) {
            const QString description = box->model()->index(k, 3).data().toString();
            otherBus |= description.startsWith(QStringLiteral("Zugbus:")) !=
                        (c.Bus == TBusType::bsTrainBus);
        }
        EXPECT_FALSE(otherBus) << "only the record types of the bus in use";
        // no description is cut: every column is as wide as its texts
        auto* view = qobject_cast<QTableView*>(box->view());
        ASSERT_NE(view, nullptr);
        const QFontMetrics fm(view->font());
        for (int k = 0; k < box->count(); ++k) {
            const QString description = box->model()->index(k, 3).data().toString();
            EXPECT_GE(view->columnWidth(3), fm.horizontalAdvance(description))
                << description.toStdString();
        }
        emit W->View()->itemDelegateForColumn(1)->closeEditor(box);
        QApplication::processEvents();

        EXPECT_EQ(PickCall(c.RecordNo), QString::fromUtf8(c.Call)) << c.RecordNo;
        EXPECT_EQ(Cell(0, 2), ToCp1252(QString::fromUtf8(c.Description))) << c.RecordNo;
    }
    // answers are no calls: DS 120 is not offered
    Env.SetBusType(TBusType::bsVehicleBus);
    Open(QString());
    EXPECT_TRUE(PickCall("120").isNull());
}

TEST_F(AufrufListenFormTest, TheTitleFollowsTheLanguage) {
    Open(QString());
    SetUiLanguage(2);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(W.get(), &change);
    EXPECT_EQ(W->windowTitle(), QStringLiteral("Master simulation - call list: New"));
    SetUiLanguage(1);
    QApplication::sendEvent(W.get(), &change);
    EXPECT_EQ(W->windowTitle(), QStringLiteral("Mastersimulation - Aufrufliste: Neu"));
}

// A new list made before the language was switched asks its question on
// closing under a caption in the language of its text.
TEST_F(AufrufListenFormTest, TheSaveQuestionAfterALanguageSwitchIsInOneLanguage) {
    Open(QString());
    Set(0, 1, "l001");
    ASSERT_TRUE(W->Model().Table().Modified);
    SetUiLanguage(2);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(W.get(), &change);
    {
        TAutoAnswer cancel(QMessageBox::Cancel);
        W->close();
        EXPECT_EQ(cancel.Count, 1);
        EXPECT_EQ(cancel.LastTitle, QStringLiteral("New call list"));
    }
    SetUiLanguage(1);
    QApplication::sendEvent(W.get(), &change);
    TAutoAnswer cancel(QMessageBox::Cancel);
    W->close();
    EXPECT_EQ(cancel.LastTitle, QStringLiteral("Neue Aufrufliste"));
}

TEST_F(AufrufListenFormTest, SavingWritesTheListAndTheTitleNamesIt) {
    Open(QString());
    Set(0, 1, "l001");
    Set(0, 3, "0:02");
    SaveAs = QString();
    EXPECT_FALSE(W->SaveList()) << "cancelled: nothing written";
    EXPECT_TRUE(W->Model().Table().Modified);
    EXPECT_EQ(SeenSpec.DefaultSuffix, QStringLiteral("AUF.CSV"));
    EXPECT_EQ(SeenSpec.Title, QStringLiteral("Aufrufliste speichern"));

    SaveAs = Q(Dir / "neu.AUF.CSV");
    ASSERT_TRUE(W->SaveList());
    EXPECT_EQ(test::ReadFile(Dir / "neu.AUF.CSV"),
              std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"Liniennummer\";\"0:02\"\r\n")
        << "with the description of the request";
    EXPECT_EQ(W->FileName(), SaveAs);
    EXPECT_TRUE(W->windowTitle().startsWith(QStringLiteral("Mastersimulation - Aufrufliste: ")));
    EXPECT_TRUE(W->windowTitle().endsWith(QStringLiteral("neu.AUF.CSV")));
    EXPECT_EQ(Q(Env.DialogDirectory(TFileFolder::Aufruf)), Q(Dir.Path().string() + "/"));

    Set(0, 3, "0:05");
    ASSERT_TRUE(W->SaveList());
    EXPECT_TRUE(std::filesystem::exists(Dir / "neu.AUF.BAK")) << "the first save over a file";
}

TEST_F(AufrufListenFormTest, ACommaFormListIsRewrittenOnOpening) {
    const std::string file =
        Dir.Write("alt.AUF.CSV", std::string(kAufrufHeaderComma) + "\r\n'-1','zI1','','0:10',\r\n");
    Open(Q(file));
    ASSERT_TRUE(W->Loaded());
    EXPECT_EQ(Cell(0, 1), "zI1");
    EXPECT_FALSE(W->Model().Table().Modified);
    EXPECT_EQ(test::ReadFile(file).rfind(std::string(kAufrufHeader) + "\r\n-1;\"zI1\";", 0), 0u)
        << "the current form";
    EXPECT_NE(test::ReadFile(Dir / "alt.AUF.BAK").find("'Ok','Aufruf'"), std::string::npos);

    TAutoAnswer answer(QMessageBox::Ok);
    const std::string other = Dir.Write("fremd.AUF.CSV", "\"A\";\"B\"\r\n\"1\";\"2\"\r\n");
    Open(Q(other));
    EXPECT_FALSE(W->Loaded()) << "no call list: the editor is not shown";
    EXPECT_EQ(answer.Count, 1);
}

TEST_F(AufrufListenFormTest, TheActivateButtonFollowsDeviceFileAndActiveList) {
    const std::string file = List("a.AUF.CSV", "-1;\"l001\";\"\";\"0:05\"\r\n");
    Open(Q(file));
    QPushButton* b = W->ActivateButton();
    EXPECT_FALSE(b->isEnabled()) << "the device is not bus master";
    Master();
    W->RefreshFromState();
    EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(b->text(), QStringLiteral("Aktivieren"));

    TFakeMainWindow main;
    const QStringList& asked = main.Asked;
    b->click();
    ASSERT_EQ(asked.size(), 1) << "the main window activates, with its messages";
    EXPECT_EQ(asked.at(0), "activate calls " + Q(file));

    ASSERT_EQ(S.ActivateCallList(file), TCallListActivation::Active);
    EXPECT_EQ(b->text(), QStringLiteral("Deaktivieren"));
    EXPECT_TRUE(W->PanelText()->text().contains(QStringLiteral("aktiv")));
    Set(0, 1, "k07");
    EXPECT_TRUE(W->PanelText()->text().contains(QStringLiteral("ACHTUNG")))
        << "changes of the running list wait for the save";
    EXPECT_EQ(S.Scheduler()->Entries()[0].Aufruf, "l001");
    SaveAs = Q(file);
    ASSERT_TRUE(W->SaveList());
    ASSERT_EQ(asked.size(), 2) << "saving the active list activates it again";
    EXPECT_EQ(asked.at(1), "activate calls " + Q(file));
    S.ActivateCallList(file); // as the main window does
    EXPECT_EQ(S.Scheduler()->Entries()[0].Aufruf, "k07");
    EXPECT_FALSE(W->PanelText()->text().contains(QStringLiteral("ACHTUNG")));

    // saved under another name: the running list stays as it is
    Set(0, 1, "z034");
    SaveAs = QString::fromStdString(Dir / "kopie.AUF.CSV");
    ASSERT_TRUE(W->SaveListAs());
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(S.ActiveCallList(), file);
    EXPECT_EQ(S.Scheduler()->Entries()[0].Aufruf, "k07");
    EXPECT_EQ(b->text(), QStringLiteral("Aktivieren")) << "the editor shows the copy now";
    Open(Q(file));
    b = W->ActivateButton();
    EXPECT_EQ(b->text(), QStringLiteral("Deaktivieren"));

    b->click();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked.at(2), "master switch") << "the active list's button switches it off";

    // another list is active: asked first
    const std::string other = List("b.AUF.CSV", "-1;\"k07\";\"\";\"0:05\"\r\n");
    ASSERT_EQ(S.ActivateCallList(other), TCallListActivation::Active);
    EXPECT_EQ(b->text(), QStringLiteral("Aktivieren"));
    {
        TAutoAnswer no(QMessageBox::No);
        b->click();
        EXPECT_EQ(no.Count, 1);
        EXPECT_EQ(asked.size(), 3) << "No leaves everything as it was";
    }
    TAutoAnswer yes(QMessageBox::Yes);
    b->click();
    ASSERT_EQ(asked.size(), 4);
    EXPECT_EQ(asked.at(3), "activate calls " + Q(file));

    S.StopRecording();
    EXPECT_EQ(S.ActiveCallList(), "") << "closing the monitor ends the list";
}

// Appending a row leaves the list savable: the new row, still untouched, is
// not written; only a row the user began and left incomplete stops the save.
TEST_F(AufrufListenFormTest, AnAppendedEmptyRowKeepsSaveAndIsLeftOut) {
    const std::string file = List("s.AUF.CSV", "-1;\"l001\";\"Liniennummer\";\"0:05\"\r\n");
    Open(Q(file));
    auto* save = W->findChild<QPushButton*>(QStringLiteral("btSave"));
    ASSERT_NE(save, nullptr);
    Set(0, 3, "0:07");
    ASSERT_TRUE(save->isEnabled());
    QTest::mouseClick(W->ToolButton("tbRowAppend"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(W->Model().rowCount(), 2);
    EXPECT_EQ(W->CurrentRow(), 1);
    EXPECT_TRUE(save->isEnabled()) << "an empty new row keeps the changes savable";
    EXPECT_TRUE(W->CanSave());
    EXPECT_TRUE(W->CanSaveAs());
    SaveAs = Q(file);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(test::ReadFile(file),
              std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"Liniennummer\";\"0:07\"\r\n")
        << "the empty row is not written";
    EXPECT_FALSE(W->Model().Table().Modified);
    EXPECT_TRUE(W->MayClose()) << "saved: no question";

    // a begun row without its call stops the save, and closing says why
    Set(1, 2, "nur Beschreibung");
    EXPECT_FALSE(save->isEnabled());
    {
        TAutoAnswer no(QMessageBox::No);
        EXPECT_FALSE(W->MayClose());
        EXPECT_TRUE(
            no.LastText.startsWith(QStringLiteral("Die aktuelle Zeile ist unvollständig")));
    }
    // an untouched new row after a change: the ordinary save question
    Set(1, 2, "");
    EXPECT_TRUE(save->isEnabled());
    TAutoAnswer cancel(QMessageBox::Cancel);
    EXPECT_FALSE(W->MayClose());
    EXPECT_TRUE(cancel.LastText.startsWith(QStringLiteral("Die Daten wurden verändert")));
}

// The bar beside the buttons is coloured only when it says something.
TEST_F(AufrufListenFormTest, TheColouredBarSaysWhatItMeans) {
    const std::string file = List("c.AUF.CSV", "-1;\"l001\";\"\";\"0:05\"\r\n");
    Open(Q(file));
    Master();
    struct TCase {
        const char* What;
        std::function<void()> Step;
        const char* Says; // empty: no colour and no text
    };
    const TCase cases[] = {
        {"inactive", [] {}, ""},
        {"active", [&] { ASSERT_EQ(S.ActivateCallList(file), TCallListActivation::Active); },
         "Diese Aufrufliste ist aktiv"},
        {"active and changed", [&] { Set(0, 1, "k07"); }, "ACHTUNG"},
        {"switched off", [&] { S.DeactivateCallList(); }, ""},
    };
    for (const TCase& c : cases) {
        c.Step();
        W->RefreshFromState();
        const QLabel* bar = W->PanelText();
        const auto style = static_cast<TZK_PatternStyle>(bar->property("zkPattern").toInt());
        if (*c.Says) {
            EXPECT_NE(style, TZK_PatternStyle::psEnabled) << c.What;
            EXPECT_TRUE(bar->text().contains(QString::fromUtf8(c.Says))) << c.What;
        } else {
            EXPECT_EQ(style, TZK_PatternStyle::psEnabled) << c.What;
            EXPECT_TRUE(bar->text().isEmpty()) << c.What;
        }
        // and in English too, after a switch
        SetUiLanguage(2);
        Retranslate(W.get());
        EXPECT_EQ(bar->text().isEmpty(), !*c.Says) << c.What;
        EXPECT_FALSE(bar->text().contains(QStringLiteral("ACHTUNG"))) << c.What;
        SetUiLanguage(1);
        Retranslate(W.get());
    }
}

QStringList gForeignEditorMessages;

void CatchForeignEditorMessages(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains(QLatin1String("does not belong to this view"))) gForeignEditorMessages << text;
}

// A choice in the call cell's drop-down, made with the keyboard, ends the
// editing once: the table takes it, and the box's losing the focus as it
// closes reports no second choice for an editor the table has let go of.
TEST_F(AufrufListenFormTest, AChoiceInTheDropDownIsTakenOnce) {
    Open(QString());
    QApplication::setActiveWindow(W.get());
    W->View()->setFocus();
    W->View()->setCurrentIndex(W->Model().index(0, 1));
    gForeignEditorMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CatchForeignEditorMessages);
    QTest::keyClick(W->View(), Qt::Key_F2);
    QComboBox* box = nullptr;
    for (QComboBox* b : W->View()->findChildren<QComboBox*>(QStringLiteral("CallEditor")))
        if (b->isVisible()) box = b;
    if (box) {
        ASSERT_TRUE(box->lineEdit()->hasFocus()) << "typing goes to the box";
        const QString first = box->itemText(0);
        QTest::keyClick(box, Qt::Key_Down);
        QApplication::processEvents();
        EXPECT_EQ(FromCp1252(Cell(0, 1)), first);
        EXPECT_FALSE(box->isVisible()) << "the editing has ended";
    }
    qInstallMessageHandler(previous);
    ASSERT_NE(box, nullptr) << "F2 opens the drop-down";
    EXPECT_TRUE(gForeignEditorMessages.isEmpty()) << gForeignEditorMessages.join('\n').toStdString();
}

} // namespace
} // namespace vaskel
