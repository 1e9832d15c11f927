// The record composer on Qt's offscreen platform: opening from the direct
// input and from the call-list editor, the selection window, the table's
// rows per type, the preview, refusals, and the hand-over.

#include "ui/compose/ComposerForm.h"
#include "ui/compose/DisplayPreview.h"
#include "ui/compose/RecordChoiceDialog.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/main/DirectInputBox.h"
#include "ui/widgets/BalloonHint.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

using TfComposer = TfComposerForm;

const QString kLf = QString(QChar(u'\u21B5'));

class ComposerTest : public ::testing::Test {
protected:
    ComposerTest() {
        Platform.Program = Dir / "Vaskel";
        TDisplayPreview::TimersForTests = &Time;
    }
    ~ComposerTest() override {
        if (TfComposer* c = TfComposer::Current()) delete c;
        TDisplayPreview::TimersForTests = nullptr;
    }
    // Lets a closed composer go.
    static void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    // Answers the next "Datensatzauswahl" with a type, or cancels it.
    static void ChooseNext(const TDisplayRecord* type) {
        QTimer::singleShot(0, [type] {
            auto* d = dynamic_cast<TfRecordChoiceDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            EXPECT_TRUE(d->Choice(TDisplayRecord::DS003a)->isChecked()) << "003a preselected";
            EXPECT_EQ(d->minimumSize(), d->maximumSize()) << "the size of its content";
            EXPECT_EQ(d->size(), d->minimumSize());
            if (!type) {
                d->reject();
                return;
            }
            d->Choice(*type)->setChecked(true);
            d->accept();
        });
    }
    // The box's controls in a window, as the main window holds them.
    static void Hold(TDirectInputBox& box, QWidget& owner) {
        for (QWidget* w : {static_cast<QWidget*>(box.Input()), static_cast<QWidget*>(box.SendButton()),
                           static_cast<QWidget*>(box.RecordLabel()), static_cast<QWidget*>(box.CheckLabel()),
                           static_cast<QWidget*>(box.DetailButton())})
            w->setParent(&owner);
    }
    static QString Cell(TfComposer* c, int row, int col) {
        const QTableWidgetItem* i = c->Table()->item(row, col);
        return i ? i->text() : QString();
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TSession S{Env, Parser};
    TManualTime Time;
};

TEST_F(ComposerTest, DirectInputOpensTheTyped021AndTakesTheTelegramBack) {
    QWidget owner; // holds the box's controls, as the main window does
    TDirectInputBox box(S);
    Hold(box, owner);
    box.Input()->setCurrentText(QStringLiteral("aA:1A2ABC<LF>DE<LF><LF>      "));
    EXPECT_TRUE(box.DetailButton()->isEnabled());
    box.DetailButton()->click();
    TfComposer* c = TfComposer::Current();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->windowTitle(), QStringLiteral("Datensatz 021 Detaileingabe"));
    EXPECT_EQ(c->AddressBox()->currentText(), QStringLiteral("10"));
    EXPECT_EQ(c->PhaseTimeBox()->currentText(), QStringLiteral("2"));
    EXPECT_TRUE(c->DoubleLineFeedBox()->isChecked());
    ASSERT_EQ(c->Table()->rowCount(), 2);
    EXPECT_EQ(Cell(c, 0, 2), QStringLiteral("ABC"));
    EXPECT_EQ(Cell(c, 1, 2), QStringLiteral("DE"));
    EXPECT_EQ(c->Preview()->text(), QStringLiteral("aA:1A2ABC<LF>DE<LF><LF>......"));
    EXPECT_EQ(c->Preview()->toolTip(),
              QStringLiteral("Aufbau eines DS 021: aA<Adresse><Datensatzlänge in "
                             "16-Zeichen-Blöcken>A<Taktung><Daten>"));
    ASSERT_TRUE(c->DisplayPreview()->HasView());
    ASSERT_EQ(c->DisplayPreview()->View().Phases.size(), 1u);
    EXPECT_EQ(c->DisplayPreview()->View().Phases[0].Lines[1].Text, "DE");

    // a second opening brings the same window forward
    box.DetailButton()->click();
    EXPECT_EQ(TfComposer::Current(), c);

    // a second phase with an umlaut; the text field gets the new telegram
    c->AppendRow();
    c->SetRowText(2, "M\xFC" "hle");
    EXPECT_EQ(c->DisplayPreview()->View().Phases.size(), 2u);
    EXPECT_TRUE(c->Preview()->text().contains(QStringLiteral("Mühle")));
    EXPECT_TRUE(c->Accept());
    Settle();
    EXPECT_EQ(TfComposer::Current(), nullptr) << "Übernehmen closes the window";
    EXPECT_EQ(box.Input()->currentText(),
              QStringLiteral("aA:2A2ABC<LF>DE<LF><LF>Mühle<LF><LF><LF>              "));
}

// The warning against editing a destination-display record by hand comes
// when the user types one, never for the telegram the composer hands over
// (the user just followed the advice).
TEST_F(ComposerTest, TheHandedOverTelegramBringsNoWarningATypedOneDoes) {
    QWidget owner;
    TDirectInputBox box(S);
    Hold(box, owner);
    owner.show();
    QApplication::setActiveWindow(&owner);
    QLineEdit* edit = box.Input()->lineEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("aA"));
    QTest::mouseClick(box.DetailButton(), Qt::LeftButton);
    TfComposer* c = TfComposer::Current();
    ASSERT_NE(c, nullptr);
    c->SetRowText(0, "Hauptbahnhof");
    QTest::mouseClick(c->findChild<QPushButton*>(QStringLiteral("btUebernehmen")), Qt::LeftButton);
    Settle();
    ASSERT_TRUE(box.Input()->currentText().startsWith(QStringLiteral("aA")));
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "no warning for the composer's telegram";
    EXPECT_TRUE(box.LastWarning().isEmpty());
    EXPECT_FALSE(Env.HintGiven(THint::DS021HintGiven)) << "the warning is still to come";
    EXPECT_EQ(box.DetailButton()->text(), QStringLiteral("DS 021 ..."));

    // typed by hand: warned once, and the typing goes on in the field
    QApplication::setActiveWindow(&owner);
    edit->setFocus();
    ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QStringLiteral("aA1"));
    ASSERT_NE(TBalloonHint::Current(), nullptr);
    EXPECT_EQ(TBalloonHint::Current()->Icon(), TBalloonHint::TIcon::Warning);
    EXPECT_TRUE(TBalloonHint::Current()->Text().startsWith(QStringLiteral("Sie sollten")));
    EXPECT_TRUE(Env.HintGiven(THint::DS021HintGiven));
    EXPECT_TRUE(edit->hasFocus()) << "the balloon never takes the focus";
    QTest::keyClicks(edit, QStringLiteral("1A"));
    EXPECT_EQ(box.Input()->currentText(), QStringLiteral("aA11A"));
    TBalloonHint::CloseCurrent();
}

TEST_F(ComposerTest, CallListEditorHandsTheTelegramToItsCurrentCall) {
    TfAufrufListenForm list(S, QString());
    list.show();
    list.Model().setData(list.Model().index(0, 1), QStringLiteral("  zA1Hallo"), Qt::EditRole);
    list.Model().Table().Modified = false;
    list.View()->setCurrentIndex(list.Model().index(0, 1));
    EXPECT_EQ(list.DetailButton()->text(), QStringLiteral("DS 003a ..."));
    list.DetailButton()->click();
    TfComposer* c = TfComposer::Current();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Type(), TDisplayRecord::DS003a);
    EXPECT_FALSE(c->AddressBox()->isVisibleTo(c));
    EXPECT_FALSE(c->PhaseTimeBox()->isVisibleTo(c));
    ASSERT_EQ(c->Table()->rowCount(), 1);
    EXPECT_EQ(Cell(c, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(c, 0, 1), QStringLiteral("Hallo")) << "the padding is not part of the line";
    c->SetRowText(0, "Hallo Welt");
    c->AppendRow();
    c->SetRowText(1, "Gr\xFC\xDF" "e");
    ASSERT_TRUE(c->Accept());
    Settle();
    EXPECT_EQ(list.Model().Table().Cell(1, 0), "zA1Hallo Welt<LF>Gr\xFC\xDF" "e");
    EXPECT_TRUE(list.Model().Table().Modified) << "the call is marked changed";
    EXPECT_TRUE(list.windowTitle().endsWith(QLatin1Char('*')));
    list.Model().Table().Modified = false;
}

TEST_F(ComposerTest, TheSelectionWindowAsksWhenTheTextNamesNoType) {
    QWidget owner;
    TDirectInputBox box(S);
    Hold(box, owner);
    box.Input()->setCurrentText(QStringLiteral("l001"));
    ChooseNext(nullptr);
    box.DetailButton()->click();
    EXPECT_EQ(TfComposer::Current(), nullptr) << "cancelled: nothing opens";
    EXPECT_EQ(box.Input()->currentText(), QStringLiteral("l001"));

    const TDisplayRecord chosen = TDisplayRecord::DS021;
    ChooseNext(&chosen);
    box.DetailButton()->click();
    TfComposer* c = TfComposer::Current();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Type(), TDisplayRecord::DS021);
    EXPECT_EQ(c->Table()->rowCount(), 2) << "one empty phase";
    EXPECT_EQ(c->AddressBox()->currentText(), QStringLiteral("1"));
    EXPECT_EQ(c->PhaseTimeBox()->currentIndex(), -1) << "no phase time chosen yet";
    EXPECT_TRUE(c->Preview()->text().isEmpty());
    EXPECT_EQ(c->PhaseTimeBox()->count(), 17);
    EXPECT_EQ(c->PhaseTimeBox()->itemText(1), QStringLiteral("1,5"));
    EXPECT_EQ(c->PhaseTimeBox()->itemText(16), QStringLiteral("Ohne Takt"));

    // without a phase time nothing is handed over and the window stays;
    // closing with the change asks, "Nein" hands nothing over
    TAutoAnswer ok({QMessageBox::Ok, QMessageBox::No});
    c->SetRowText(0, "Hbf");
    EXPECT_FALSE(c->Accept());
    EXPECT_EQ(c->LastMessage(), QStringLiteral("Bitte wählen Sie eine Taktzeit aus."));
    EXPECT_EQ(TfComposer::Current(), c);
    EXPECT_EQ(box.Input()->currentText(), QStringLiteral("l001"));
    c->PhaseTimeBox()->setCurrentIndex(16);
    EXPECT_EQ(c->Preview()->text(), QStringLiteral("aA11Hbf<LF><LF><LF>.........."));
    c->close();
    Settle();
    EXPECT_EQ(ok.Count, 2) << "closing with a change asks";
    EXPECT_EQ(TfComposer::Current(), nullptr);
    EXPECT_EQ(box.Input()->currentText(), QStringLiteral("l001")) << "closing hands nothing over";

    // an unknown type text opens nothing
    EXPECT_EQ(TfComposer::Open(nullptr, QStringLiteral("?"), "l001", {}), nullptr);
    EXPECT_EQ(ok.LastText, QStringLiteral("wrong type"));
    ASSERT_NE(TfComposer::Open(nullptr, QStringLiteral("?"), "zI1abcd", {}), nullptr);
    EXPECT_EQ(TfComposer::Current()->Type(), TDisplayRecord::DS003c);
}

TEST_F(ComposerTest, RowsKeepTheirPairsAndNumbers) {
    TfComposer* c = TfComposer::Open(nullptr, QStringLiteral("021"),
                                     "aA11A0a1\nb1\n\nc1\nd1\n\n      ", {});
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->Table()->rowCount(), 4);
    auto texts = [&c] {
        QStringList t;
        for (int r = 0; r < c->Table()->rowCount(); ++r)
            t << Cell(c, r, 0) + QLatin1Char('|') + Cell(c, r, 1) + QLatin1Char('|') + Cell(c, r, 2);
        return t.join(QLatin1Char(' '));
    };
    EXPECT_EQ(texts(), QStringLiteral("1|1|a1 |2|b1 2|1|c1 |2|d1"));
    EXPECT_EQ(c->Table()->rowSpan(2, 0), 2) << "the phase number centred over its pair";
    EXPECT_EQ(c->Table()->item(2, 0)->textAlignment(), int(Qt::AlignCenter));

    c->Table()->setCurrentCell(3, 2);
    c->InsertRow(); // before the pair of row 3
    EXPECT_EQ(texts(), QStringLiteral("1|1|a1 |2|b1 2|1| |2| 3|1|c1 |2|d1"));
    c->Table()->setCurrentCell(0, 2);
    c->DeleteRow(); // the row and its partner
    EXPECT_EQ(texts(), QStringLiteral("1|1| |2| 2|1|c1 |2|d1"));
    c->DeleteRow();
    c->Table()->setCurrentCell(1, 2);
    c->DeleteRow(); // the last pair is emptied
    EXPECT_EQ(texts(), QStringLiteral("1|1| |2|"));
    delete c;

    c = TfComposer::Open(nullptr, QStringLiteral("004c"), "eT2a\nb\ncd  ", {});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(texts(), QStringLiteral("1|a| 2|b| 3|cd|"));
    c->Table()->setCurrentCell(1, 1);
    c->InsertRow();
    c->AppendRow();
    EXPECT_EQ(texts(), QStringLiteral("1|a| 2|| 3|b| 4|cd| 5||"));
    c->Table()->setCurrentCell(0, 1);
    c->DeleteRow();
    EXPECT_EQ(texts(), QStringLiteral("1|| 2|b| 3|cd| 4||"));
    delete c;

    c = TfComposer::Open(nullptr, QStringLiteral("021a"), "aL703abc", {});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Table()->columnCount(), 1);
    EXPECT_EQ(c->Table()->horizontalHeaderItem(0)->text(), QStringLiteral("Daten"));
    EXPECT_EQ(c->AddressBox()->currentText(), QStringLiteral("7"));
    c->AppendRow();
    c->InsertRow();
    c->DeleteRow();
    EXPECT_EQ(c->Table()->rowCount(), 1) << "exactly one data row";
    EXPECT_EQ(Cell(c, 0, 0), QStringLiteral("abc"));
    EXPECT_EQ(c->Preview()->text(), QStringLiteral("aL703abc"));
}

TEST_F(ComposerTest, RefusedInputShowsItsMessageAndHandsNothingOver) {
    struct Case {
        const char* type;
        std::string line;
        const char* message; // first line; empty: accepted
    };
    const Case cases[] = {
        {"003a", std::string(240, 'x'), ""},
        {"003a", std::string(241, 'x'),
         "Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 16 Zeichen."},
        {"003c", std::string(60, 'x'), ""},
        {"003c", std::string(64, 'x'),
         "Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 4 Zeichen."},
    };
    TAutoAnswer ok(QMessageBox::Ok);
    for (const Case& k : cases) {
        QString got;
        TfComposer* c = TfComposer::Open(nullptr, QString::fromLatin1(k.type), "",
                                         [&got](const QString& e) { got = e; });
        ASSERT_NE(c, nullptr);
        c->SetRowText(0, k.line);
        const bool accepted = c->Accept();
        EXPECT_EQ(accepted, *k.message == 0) << k.type << " " << k.line.size();
        if (accepted) {
            EXPECT_TRUE(got.endsWith(QString::fromStdString(k.line)));
            EXPECT_EQ(got.at(2), QLatin1Char('?')) << "15 blocks";
            Settle();
        } else {
            EXPECT_TRUE(got.isEmpty());
            const QStringList lines = c->LastMessage().split(QLatin1Char('\n'));
            ASSERT_EQ(lines.size(), 3);
            EXPECT_EQ(lines[0], QString::fromUtf8(k.message));
            EXPECT_EQ(lines[2], QStringLiteral("Bitte die Eingabe entsprechend reduzieren!"));
            EXPECT_TRUE(c->Preview()->text().isEmpty()) << "an empty result shows nothing";
            // the engine's message (vaskel-cli) says the same
            EXPECT_EQ(c->LastMessage(), FromCp1252(ComposeProblemText(ComposeDisplayRecord(
                                            c->Input()).Problem)));
            delete c;
        }
    }
}

TEST_F(ComposerTest, EnglishTexts) {
    SetUiLanguage(2);
    TAutoAnswer ok(QMessageBox::Ok);
    TfComposer* c = TfComposer::Open(nullptr, QStringLiteral("021"), "", {});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->windowTitle(), QStringLiteral("Data set 021 detail input"));
    EXPECT_EQ(c->AcceptButton()->text(), QStringLiteral("Apply"));
    QStringList titles;
    for (int k = 0; k < c->Table()->columnCount(); ++k)
        titles << c->Table()->horizontalHeaderItem(k)->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Phase"), QStringLiteral("Line"),
                                   QStringLiteral("Text")}));
    EXPECT_EQ(c->PhaseTimeBox()->itemText(16), QStringLiteral("No phases"));
    EXPECT_FALSE(c->Accept());
    EXPECT_EQ(c->LastMessage(), QStringLiteral("Please choose the phase time."));
    delete c;
    SetUiLanguage(1);
}

// Typing into a cell that the composer refuses (021 without a phase time,
// 003c past 60 characters) leaves every letter in the cell and keeps the
// program running; the refusal waits for "Übernehmen".
TEST_F(ComposerTest, RefusedTypingKeepsEveryLetter) {
    struct Case {
        const char* type;
        QString typed;
        const char* message; // the first line of the refusal
    };
    const Case cases[] = {
        {"021", QStringLiteral("Marktplatz"), "Bitte wählen Sie eine Taktzeit aus."},
        {"003c", QString(64, QLatin1Char('x')),
         "Die Eingabe erfordert das Übertragen von mehr als 15 Blöcken zu je 4 Zeichen."},
    };
    TAutoAnswer ok(QMessageBox::Ok);
    for (const Case& k : cases) {
        QString got;
        QPointer<TfComposer> c = TfComposer::Open(nullptr, QString::fromLatin1(k.type), "",
                                                  [&got](const QString& e) { got = e; });
        ASSERT_NE(c, nullptr);
        c->show();
        c->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c));
        const int col = k.type == std::string("021") ? 2 : 1;
        const QRect cell = c->Table()->visualRect(c->Table()->model()->index(0, col));
        QTest::mousePress(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseRelease(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QPointer<QLineEdit> editor = c->Table()->findChild<QLineEdit*>(QStringLiteral("CellEditor"));
        ASSERT_NE(editor, nullptr) << k.type;
        editor->setFocus();
        for (const QChar ch : k.typed) {
            ASSERT_FALSE(editor.isNull()) << k.type << ": the cell editor went while typing";
            QTest::keyClicks(editor, QString(ch));
        }
        ASSERT_FALSE(editor.isNull()) << k.type;
        EXPECT_EQ(editor->text(), k.typed) << k.type << ": no letter lost";
        EXPECT_EQ(ok.Count, 0) << k.type << ": no box while typing";
        EXPECT_TRUE(c->ProblemLabel()->text().startsWith(QString::fromUtf8(k.message)))
            << k.type << ": " << c->ProblemLabel()->text().toStdString();
        EXPECT_TRUE(c->ProblemLabel()->isVisible()) << k.type;
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(c->RowText(0), ToCp1252(k.typed)) << k.type;

        // "Übernehmen" refuses with its box; the answer leaves all as it was
        QTest::mouseClick(c->AcceptButton(), Qt::LeftButton);
        Settle();
        ASSERT_FALSE(c.isNull()) << k.type << ": a refusal keeps the window";
        EXPECT_EQ(ok.Count, 1) << k.type;
        EXPECT_TRUE(ok.LastText.startsWith(QString::fromUtf8(k.message))) << k.type;
        EXPECT_TRUE(got.isEmpty()) << k.type;
        EXPECT_EQ(c->RowText(0), ToCp1252(k.typed)) << k.type;

        // the cell can be edited again after the box
        QTest::mousePress(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseRelease(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(c->Table()->viewport(), Qt::LeftButton, {}, cell.center());
        editor = c->Table()->findChild<QLineEdit*>(QStringLiteral("CellEditor"));
        ASSERT_NE(editor, nullptr) << k.type;
        EXPECT_EQ(editor->text(), k.typed) << k.type;
        QTest::keyClick(editor, Qt::Key_Escape);
        delete c;
        ok.Count = 0;
    }
}

// Types as a keyboard does: every key goes to the widget that has the
// keyboard focus at that moment.
static void TypeAtFocus(const QString& text) {
    for (const QChar ch : text) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr) << "no keyboard focus";
        QTest::keyClick(w, ch.toLatin1());
    }
}

// The window opens with the keyboard in the first line's text cell, and a
// choice in a drop-down hands it back there: nothing typed is lost.
TEST_F(ComposerTest, TypingStartsInTheFirstLineAndLosesNothing) {
    QWidget owner;
    owner.show();
    TDirectInputBox box(S);
    Hold(box, owner);
    for (const TDisplayRecord type : {TDisplayRecord::DS003c, TDisplayRecord::DS003a}) {
        box.Input()->setCurrentText(QString());
        ChooseNext(&type);
        QTest::mouseClick(box.DetailButton(), Qt::LeftButton);
        QPointer<TfComposer> c = TfComposer::Current();
        ASSERT_NE(c, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(c));
        TypeAtFocus(QStringLiteral("ab cd"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(c->Table()->rowCount(), 1) << "the blank added no line";
        EXPECT_EQ(c->RowText(0), "ab cd");
        delete c;
    }

    // 021: the phase time chosen with the keyboard, then the line typed
    QPointer<TfComposer> c = TfComposer::Open(&owner, QStringLiteral("021"), "", {});
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(c));
    c->PhaseTimeBox()->setFocus();
    c->PhaseTimeBox()->showPopup();
    QAbstractItemView* list = c->PhaseTimeBox()->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    const int chosen = c->PhaseTimeBox()->currentIndex();
    EXPECT_GE(chosen, 0);
    TypeAtFocus(QStringLiteral("Linie 12 Messe"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(c->PhaseTimeBox()->currentIndex(), chosen) << "letters typed chose no other time";
    EXPECT_EQ(c->RowText(0), "Linie 12 Messe");
    delete c;
}

// Opening shows the telegram as it came; "Übernehmen" without a change
// hands it back unchanged; closing with a change asks.
TEST_F(ComposerTest, OpeningChangesNothingAndClosingWithChangesAsks) {
    const std::string example = "aA12Marktplatz      Rathaus/Museum 3";
    QString got;
    QPointer<TfComposer> c = TfComposer::Open(nullptr, QStringLiteral("021"), example,
                                              [&got](const QString& e) { got = e; });
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Preview()->text(), QStringLiteral("aA12Marktplatz......Rathaus/Museum.3"));
    EXPECT_FALSE(c->Edited());
    {
        TAutoAnswer any(QMessageBox::Cancel);
        QTest::mouseClick(c->AcceptButton(), Qt::LeftButton);
        Settle();
        EXPECT_EQ(any.Count, 0);
    }
    EXPECT_TRUE(c.isNull());
    EXPECT_EQ(got, FromCp1252(example)) << "handed back as it came";

    // closing without a change asks nothing
    c = TfComposer::Open(nullptr, QStringLiteral("021"), example, {});
    {
        TAutoAnswer any(QMessageBox::Cancel);
        c->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(c));
        QTest::keyClick(c, Qt::Key_Escape);
        Settle();
        EXPECT_EQ(any.Count, 0);
        EXPECT_TRUE(c.isNull());
    }

    // a typed line: Cancel keeps the window, No drops it, Yes hands it over
    for (const auto answer : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Yes}) {
        got.clear();
        if (c.isNull()) {
            c = TfComposer::Open(nullptr, QStringLiteral("003a"), "",
                                 [&got](const QString& e) { got = e; });
            ASSERT_NE(c, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(c));
            TypeAtFocus(QStringLiteral("Hbf"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        EXPECT_TRUE(c->Edited());
        TAutoAnswer reply(answer);
        QTest::mouseClick(c->findChild<QPushButton*>(QStringLiteral("btSchliessen")),
                          Qt::LeftButton);
        Settle();
        EXPECT_EQ(reply.Count, 1) << answer;
        EXPECT_EQ(c.isNull(), answer != QMessageBox::Cancel) << answer;
        EXPECT_EQ(got, answer == QMessageBox::Yes ? QStringLiteral("zA1Hbf             ")
                                                   : QString())
            << answer;
    }
}

TEST_F(ComposerTest, CtrlEnterPutsALineFeedIntoTheCell) {
    TfComposer* c = TfComposer::Open(nullptr, QStringLiteral("003a"), "", {});
    ASSERT_NE(c, nullptr);
    c->activateWindow();
    c->Table()->setCurrentCell(0, 1);
    c->Table()->editItem(c->Table()->item(0, 1));
    auto* editor = c->Table()->findChild<QLineEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("Ab"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("C"));
    EXPECT_EQ(editor->text(), QStringLiteral("Ab") + kLf + QStringLiteral("C"));
    EXPECT_EQ(c->Preview()->text(), QStringLiteral("zA1Ab<LF>C............"))
        << "the preview follows the typing";
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(c->RowText(0), "Ab\nC");
    EXPECT_EQ(CellBytes(CellShown("x\ny")), "x\ny");
}

TEST_F(ComposerTest, ThePhaseTimesDropDownShowsEveryItemWholeInBothLanguages) {
    for (const int language : {1, 2}) {
        SetUiLanguage(language);
        TfComposer* c = TfComposer::Open(nullptr, QStringLiteral("021"), "", {});
        ASSERT_NE(c, nullptr);
        auto* phase = c->findChild<QComboBox*>(QStringLiteral("cbTaktzeit"));
        ASSERT_NE(phase, nullptr);
        phase->showPopup();
        QWidget* popup = phase->view()->window();
        ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }));
        // "Ohne Takt" / "No pulse" and the times, none cut short
        const int around = popup->width() - phase->view()->viewport()->width();
        EXPECT_GE(popup->width(), phase->view()->sizeHintForColumn(0) + around)
            << "language " << language;
        phase->hidePopup();
        delete c;
        Settle();
    }
    SetUiLanguage(1);
}

} // namespace
} // namespace vaskel
