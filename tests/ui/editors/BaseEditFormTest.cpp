// The list editor window on Qt's offscreen platform: the row rules as the
// user meets them through the table, the cell editor and the questions.

#include "ui/editors/BaseEditForm.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

class ListEditFormTest : public ::testing::Test {
protected:
    ListEditFormTest() {
        Platform.Program = Dir / "Vaskel";
        W = std::make_unique<TfBaseEditForm>(
            S, Table,
            std::vector<TEditColumn>{{"Ok"}, {"Aufruf"}, {"Beschreibung", true}, {"Intervall"}},
            QString());
        W->SetDialogHeader(QStringLiteral("Neue Aufrufliste"));
        W->show();
    }
    ~ListEditFormTest() override {
        Table.Modified = false;
        W.reset();
    }
    void Set(int row, int col, const char* text) {
        W->Model().setData(W->Model().index(row, col), QString::fromUtf8(text), Qt::EditRole);
    }
    std::string Cell(int row, int col) const { return std::string(Table.Cell(col, row)); }
    // Opens the cell editor, lets f work on it, and ends it with Return.
    template <typename F> void Edit(int row, int col, F f) {
        const QModelIndex i = W->Model().index(row, col);
        W->View()->setCurrentIndex(i);
        W->View()->edit(i);
        auto* e = W->View()->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
        ASSERT_NE(e, nullptr);
        f(e);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(e, &enter);
        QApplication::processEvents();
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TTable Table{std::vector<TZK_InputStyle>{TZK_InputStyle::csBoolean, TZK_InputStyle::csString,
                                             TZK_InputStyle::csString, TZK_InputStyle::csMinSec}};
    TIBISTelegramParser Parser{kCatalogue};
    TSession S{Env, Parser};
    std::unique_ptr<TfBaseEditForm> W;
};

TEST_F(ListEditFormTest, NewListHasOneDefaultRowThatStays) {
    ASSERT_EQ(W->Model().rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "-1");
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(Cell(0, 3), "0:10");
    EXPECT_TRUE(W->GoTo(0, 2));
    EXPECT_TRUE(W->GoTo(5, 0)) << "beyond the end: the only row";
    EXPECT_EQ(W->Model().rowCount(), 1) << "the only row is never removed";
    EXPECT_FALSE(W->ToolButton("tbRowAppend")->isEnabled()) << "the row lacks its call";
    EXPECT_FALSE(W->ToolButton("tbRowDelete")->isEnabled()) << "one row";
}

TEST_F(ListEditFormTest, UntouchedRowsGoAndIncompleteRowsHoldTheCursor) {
    TAutoAnswer answer(QMessageBox::Ok);
    Set(0, 1, "zI1");
    EXPECT_TRUE(W->ToolButton("tbRowAppend")->isEnabled());
    EXPECT_TRUE(W->windowTitle().endsWith(QLatin1Char('*')));
    ASSERT_TRUE(W->AppendRow());
    ASSERT_EQ(W->Model().rowCount(), 2);
    EXPECT_EQ(W->CurrentRow(), 1);
    EXPECT_EQ(Cell(1, 3), "0:10");
    EXPECT_FALSE(W->AppendRow()) << "no second empty row";
    EXPECT_EQ(W->Model().rowCount(), 2);
    EXPECT_EQ(answer.Count, 0) << "only a beep";

    // leaving the untouched new row removes it
    EXPECT_TRUE(W->GoTo(0, 1));
    EXPECT_EQ(W->Model().rowCount(), 1);

    // a touched but incomplete row may not be left
    ASSERT_TRUE(W->AppendRow());
    Set(1, 2, "nur Beschreibung");
    EXPECT_FALSE(W->GoTo(0, 0));
    EXPECT_EQ(W->CurrentRow(), 1);
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(
        answer.LastText.startsWith(QStringLiteral("Die aktuelle Zeile ist unvollständig.")));
    EXPECT_FALSE(W->AppendRow());
    EXPECT_EQ(answer.Count, 2);

    // the Delete key empties a text cell of a complete row only
    Set(1, 1, "l001");
    W->View()->setCurrentIndex(W->Model().index(1, 2));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(W->View(), &del);
    EXPECT_EQ(Cell(1, 2), "");

    // deleting down to the only row resets it
    W->DeleteRow();
    EXPECT_EQ(W->Model().rowCount(), 1);
    W->DeleteRow();
    EXPECT_EQ(W->Model().rowCount(), 1);
    EXPECT_EQ(Cell(0, 1), "") << "the only row is reset to the defaults";
    EXPECT_EQ(Cell(0, 3), "0:10");
}

TEST_F(ListEditFormTest, CellEditorCleansUpAndInsertsSpecialCharacters) {
    struct TCase {
        const char* Typed;
        const char* Stored;
    };
    const TCase intervals[] = {{"90", "1:30"}, {"1:5", "1:5"}, {"5", "0:05"}, {"", "0"}};
    for (const TCase& c : intervals) {
        Edit(0, 3, [&](QPlainTextEdit* e) { e->setPlainText(QString::fromUtf8(c.Typed)); });
        EXPECT_EQ(Cell(0, 3), c.Stored) << c.Typed;
    }
    // "<LF>" at the end: stored with the line feed, without the blank
    Edit(0, 1, [&](QPlainTextEdit* e) {
        e->setPlainText(QStringLiteral("zA1Hbf"));
        e->moveCursor(QTextCursor::End);
        W->InsertLineFeed();
        EXPECT_EQ(e->toPlainText(), QStringLiteral("zA1Hbf\n "));
        EXPECT_EQ(e->textCursor().position(), 7) << "the caret stands before the blank";
    });
    EXPECT_EQ(Cell(0, 1), "zA1Hbf\n");
    // opening it again puts the caret on the new line
    Edit(0, 1, [&](QPlainTextEdit* e) {
        EXPECT_EQ(e->toPlainText(), QStringLiteral("zA1Hbf\n "));
        e->setPlainText(QStringLiteral("ab"));
        QTextCursor c = e->textCursor();
        c.setPosition(1);
        e->setTextCursor(c);
        W->InsertByte(3);
    });
    EXPECT_EQ(Cell(0, 1), std::string("a\x03") + "b");
}

// Typing on a cell replaces its text; F2 keeps it and types at its end.
TEST_F(ListEditFormTest, TypingOnACellReplacesItsText) {
    const QModelIndex interval = W->Model().index(0, 3);
    ASSERT_EQ(Cell(0, 3), "0:10");
    W->View()->setFocus();
    W->View()->setCurrentIndex(interval);
    auto key = [](QWidget* to, Qt::Key k, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(to, &press);
        QApplication::processEvents();
    };
    auto editor = [&] {
        return W->View()->findChild<QPlainTextEdit*>(QStringLiteral("CellEditor"));
    };
    key(W->View(), Qt::Key_2, QStringLiteral("2"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("2"));
    key(editor(), Qt::Key_Return);
    EXPECT_EQ(Cell(0, 3), "0:02") << "a typed 2 is two seconds";
    // F2 opens the cell with its text, the caret at its end
    W->View()->setCurrentIndex(interval);
    key(W->View(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    key(editor(), Qt::Key_5, QStringLiteral("5"));
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("0:025"));
    key(editor(), Qt::Key_Escape);
    EXPECT_EQ(Cell(0, 3), "0:02");
}

// Tab ends the cell's editing and goes on to the next cell (Shift+Tab to
// the one before); no tab character gets into the text.
TEST_F(ListEditFormTest, TabMovesOnFromACellEditor) {
    QApplication::setActiveWindow(W.get());
    // the editor open now (one closed before may still wait for its deletion)
    auto editor = [&]() -> QPlainTextEdit* {
        for (auto* e : W->View()->findChildren<QPlainTextEdit*>(QStringLiteral("CellEditor")))
            if (e->isVisible()) return e;
        return nullptr;
    };
    W->View()->setFocus();
    W->View()->setCurrentIndex(W->Model().index(0, 1));
    QTest::keyClick(W->View(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), QStringLiteral("zI1"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(Cell(0, 1), "zI1") << "no tab in the call";
    EXPECT_EQ(W->View()->currentIndex(), W->Model().index(0, 2));
    ASSERT_NE(editor(), nullptr) << "the next cell is being edited";
    QTest::keyClicks(editor(), QStringLiteral("Text"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(W->View()->currentIndex(), W->Model().index(0, 3));
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), QStringLiteral("25"));
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(Cell(0, 3), "0:25") << "what is typed replaces the cell reached with Tab";
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(Cell(0, 2), "Text");
    EXPECT_EQ(W->View()->currentIndex(), W->Model().index(0, 1));
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Escape);
    EXPECT_EQ(Cell(0, 1), "zI1");
}

// Down on an incomplete last row refuses the new row with a message that
// comes after the key's event, not inside it.
TEST_F(ListEditFormTest, DownOnAnIncompleteLastRowAnswersAfterTheKey) {
    TAutoAnswer answer(QMessageBox::Ok);
    Set(0, 2, "nur Beschreibung");
    W->View()->setFocus();
    W->View()->setCurrentIndex(W->Model().index(0, 2));
    QTest::keyClick(W->View(), Qt::Key_Down);
    EXPECT_EQ(answer.Count, 0) << "nothing modal inside the key's event";
    ASSERT_TRUE(WaitFor([&] { return answer.Count == 1; }));
    EXPECT_TRUE(answer.LastText.startsWith(QStringLiteral("Die aktuelle Zeile ist unvollständig.")));
    EXPECT_EQ(W->Model().rowCount(), 1);
    // complete: Down appends
    Set(0, 1, "zI1");
    QTest::keyClick(W->View(), Qt::Key_Down);
    ASSERT_TRUE(WaitFor([&] { return W->Model().rowCount() == 2; }));
    EXPECT_EQ(W->CurrentRow(), 1);
    EXPECT_EQ(answer.Count, 1);
}

TEST_F(ListEditFormTest, SelectionCommandsOnSeveralRows) {
    Set(0, 1, "zI1");
    ASSERT_TRUE(W->AppendRow());
    Set(1, 1, "zI2");
    ASSERT_TRUE(W->AppendRow());
    Set(2, 1, "zI3");
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(W->View(), &shift);
    EXPECT_EQ(W->View()->selectionBehavior(), QAbstractItemView::SelectRows);
    W->View()->selectRow(1);
    W->View()->selectionModel()->select(W->Model().index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(W->View(), &release);
    EXPECT_EQ(W->View()->selectionBehavior(), QAbstractItemView::SelectItems);
    W->SelectAllRows(false);
    EXPECT_EQ(Cell(0, 0), "-1") << "not selected";
    EXPECT_EQ(Cell(1, 0), "0");
    EXPECT_EQ(Cell(2, 0), "0");
    W->SelectAllRows(true);
    EXPECT_EQ(Cell(1, 0), "-1");
    // one row alone: nothing happens
    W->View()->clearSelection();
    W->View()->selectRow(2);
    W->SelectAllRows(false);
    EXPECT_EQ(Cell(2, 0), "-1");
}

TEST_F(ListEditFormTest, CloseQuestions) {
    EXPECT_TRUE(W->MayClose()) << "nothing changed";
    {
        TAutoAnswer answer(QMessageBox::No);
        Set(0, 2, "ohne Aufruf");
        EXPECT_FALSE(W->MayClose()) << "No keeps the window";
        EXPECT_EQ(answer.Count, 1);
        EXPECT_TRUE(answer.LastText.startsWith(
            QStringLiteral("Die aktuelle Zeile ist unvollständig ausgefüllt.")));
    }
    {
        TAutoAnswer answer(QMessageBox::No);
        Set(0, 1, "zI1");
        EXPECT_TRUE(W->MayClose()) << "No closes without saving";
        EXPECT_TRUE(answer.LastText.startsWith(QStringLiteral("Die Daten wurden verändert")));
    }
    {
        TAutoAnswer answer(QMessageBox::Cancel);
        EXPECT_FALSE(W->MayClose());
        EXPECT_EQ(answer.Count, 1);
    }
}

} // namespace
} // namespace vaskel
