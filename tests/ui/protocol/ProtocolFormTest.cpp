// Opened protocol files: showing, saving, the detail panel, playback.

#include "ui/main/MainFormFixture.h"
#include "ui/protocol/MonitorFixture.h"

#include "telegram/TextConventions.h"

#include <QDialog>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <functional>

namespace vaskel {
namespace {

TEST_F(ProtocolWindowTest, ShowsTheSavedRowsAndSavesThemAgain) {
    TfProtocolForm w(S, QString::fromStdString(File));
    ASSERT_EQ(w.Model().rowCount(), Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(w.Model().data(w.Model().index(r, c), Qt::DisplayRole).toString(),
                      FromCp1252(Stored(Recorded.Cell(c, r))))
                << r << "/" << c;
    EXPECT_EQ(w.Caption(), QStringLiteral("Protokoll ") + QString::fromStdString(File));
    EXPECT_EQ(w.ProposedName(), QStringLiteral("rec.PRO.CSV"));
    EXPECT_TRUE(w.MayClose()) << "nothing changed: no question";
    EXPECT_TRUE(w.View()->isColumnHidden(pcHex));
    EXPECT_EQ(w.FilterState(), 0);
    EXPECT_TRUE(w.AutoWarnings());

    const std::string copy = Dir / "copy.PRO.CSV";
    ASSERT_TRUE(w.SaveTo(QString::fromStdString(copy)));
    EXPECT_EQ(w.FileName(), QString::fromStdString(copy));
    EXPECT_TRUE(w.Caption().endsWith(QStringLiteral("copy.PRO.CSV")));
    TTable back = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(back, copy, '"', nullptr, std::nullopt, ';').Rows, Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(back.Cell(c, r), Stored(Recorded.Cell(c, r))) << r << "/" << c;
    EXPECT_EQ(Env.DialogDirectory(TFileFolder::Protokolle), Dir / "");
}

TEST_F(ProtocolWindowTest, DetailPanelOpensOncePerRow) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.show();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());

    int analysed = 0;
    w.Analyse = [&](TDetailKind, int, QVBoxLayout*) {
        ++analysed;
        return false;
    };
    // the unanswered a2 is an error row
    w.DetailAnalysis(3);
    EXPECT_EQ(w.DetailKind(), TDetailKind::Error);
    EXPECT_EQ(w.DetailTag(), 4) << "the tag is the row's Nr.";
    EXPECT_TRUE(w.DetailPanel()->isVisible());
    EXPECT_TRUE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    EXPECT_GT(w.DetailPanel()->findChildren<QLabel*>().size(), 1) << "the row's facts";
    w.DetailAnalysis(3);
    EXPECT_EQ(analysed, 1) << "the row already shown: nothing happens";
    EXPECT_TRUE(w.DetailPanel()->isVisible());

    // Enter on the current row opens its analysis
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_EQ(w.DetailTag(), 1);
    EXPECT_EQ(w.DetailKind(), TDetailKind::General);
    EXPECT_EQ(analysed, 2);

    w.HideDetail();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.DetailPanel()->findChildren<QLabel*>().isEmpty()) << "generic controls freed";
}

// The window's entries: the table's context menu toggles or steps a state,
// a tool button's drop-down sets one; captions and hints follow the state.
TEST_F(ProtocolWindowTest, MenuEntriesAndHintsFollowTheStates) {
    TfProtocolForm w(S, QString::fromStdString(File));
    auto entry = [&](const char* name) {
        QAction* a = w.TableMenu()->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    auto button = [&](const char* name) { return w.findChild<QToolButton*>(QLatin1String(name)); };
    // the drop-down entry of a tool button with that caption
    auto dropDown = [&](const char* name, const char* caption) {
        return [&w, name, caption] {
            auto* b = w.findChild<QToolButton*>(QLatin1String(name));
            for (QAction* a : b->menu()->actions())
                if (a->text() == QString::fromUtf8(caption)) return a->trigger();
            ADD_FAILURE() << "no entry " << caption;
        };
    };
    auto trigger = [&](const char* name) { return [&entry, name] { entry(name)->trigger(); }; };
    struct TStep {
        const char* what;
        std::function<void()> act;
        std::function<bool()> state;
        const char* entryName;
        const char* caption;
        const char* buttonName;
        const char* hint;
    };
    const TStep steps[] = {
        {"hex at the start", [] {}, [&] { return w.View()->isColumnHidden(pcHex); }, "mmHexMode",
         "&Hex-Darstellung einblenden", "tbHEXMode", "Hexadezimaldarstellung ausgeblendet"},
        {"hex entry shows", trigger("mmHexMode"), [&] { return !w.View()->isColumnHidden(pcHex); },
         "mmHexMode", "&Hex-Darstellung ausblenden", "tbHEXMode",
         "Hexadezimaldarstellung eingeblendet"},
        {"hex drop-down hides", dropDown("tbHEXMode", "Hexadezimalspalte ausblenden"),
         [&] { return w.View()->isColumnHidden(pcHex); }, "mmHexMode",
         "&Hex-Darstellung einblenden", "tbHEXMode", "Hexadezimaldarstellung ausgeblendet"},
        {"filter at the start", [] {}, [&] { return w.FilterState() == 0; }, "mmSwitchFilter",
         "Fil&ter einschalten", "tbFilterOnOff", "Telegrammfilter ausgeschaltet"},
        {"filter entry: on", trigger("mmSwitchFilter"), [&] { return w.FilterState() == 1; },
         "mmSwitchFilter", "Akustischen Fil&ter einschalten", "tbFilterOnOff",
         "Telegrammfilter eingeschaltet"},
        {"filter entry: acoustic", trigger("mmSwitchFilter"), [&] { return w.FilterState() == 2; },
         "mmSwitchFilter", "Fil&ter ausschalten", "tbFilterOnOff", "Akustischer Filter"},
        {"filter entry: off", trigger("mmSwitchFilter"), [&] { return w.FilterState() == 0; },
         "mmSwitchFilter", "Fil&ter einschalten", "tbFilterOnOff", "Telegrammfilter ausgeschaltet"},
        {"filter drop-down: sound", dropDown("tbFilterOnOff", "Ton bei Filter"),
         [&] { return w.FilterState() == 2; }, "mmSwitchFilter", "Fil&ter ausschalten",
         "tbFilterOnOff", "Akustischer Filter"},
        {"filter drop-down: on", dropDown("tbFilterOnOff", "Filter einschalten"),
         [&] { return w.FilterState() == 1; }, "mmSwitchFilter", "Akustischen Fil&ter einschalten",
         "tbFilterOnOff", "Telegrammfilter eingeschaltet"},
        {"filter drop-down: off", dropDown("tbFilterOnOff", "Filter ausschalten"),
         [&] { return w.FilterState() == 0; }, "mmSwitchFilter", "Fil&ter einschalten",
         "tbFilterOnOff", "Telegrammfilter ausgeschaltet"},
        {"filter button steps", [&] { button("tbFilterOnOff")->click(); },
         [&] { return w.FilterState() == 1 && Env.HintGiven(THint::FilterHint); }, "mmSwitchFilter",
         "Akustischen Fil&ter einschalten", "tbFilterOnOff", "Telegrammfilter eingeschaltet"},
        {"warnings at the start", [] {}, [&] { return w.AutoWarnings(); }, "mmAutoWarning",
         "&Warnungsmarkierung ausblenden", "tbAutoWarning",
         "Automatische Warnungsmarkierung eingeschaltet"},
        {"warnings entry hides", trigger("mmAutoWarning"), [&] { return !w.AutoWarnings(); },
         "mmAutoWarning", "&Warnungsmarkierung anzeigen", "tbAutoWarning",
         "Automatische Warnungsmarkierung ausgeschaltet"},
        {"warnings drop-down marks",
         dropDown("tbAutoWarning", "Kritische Werte werden automatisch markiert"),
         [&] { return w.AutoWarnings(); }, "mmAutoWarning", "&Warnungsmarkierung ausblenden",
         "tbAutoWarning", "Automatische Warnungsmarkierung eingeschaltet"},
        {"warnings drop-down does not",
         dropDown("tbAutoWarning", "Kritische Werte nicht markieren"),
         [&] { return !w.AutoWarnings(); }, "mmAutoWarning", "&Warnungsmarkierung anzeigen",
         "tbAutoWarning", "Automatische Warnungsmarkierung ausgeschaltet"},
        {"IBIS drop-down: do not convert",
         dropDown("tbnConvertIBISCharacters", "IBIS-Sonderzeichen nicht konvertieren"),
         [&] {
             return !Env.ConvertIBISCharacters() && !entry("mmConvertIBISCharacters")->isChecked();
         },
         "mmConvertIBISCharacters", "IBIS-Sonderzeichen in Umlaut konvertieren",
         "tbnConvertIBISCharacters", "IBIS-Sonderzeichen nicht konvertieren"},
        {"IBIS entry: convert", trigger("mmConvertIBISCharacters"),
         [&] {
             return Env.ConvertIBISCharacters() && button("tbnConvertIBISCharacters")->isChecked();
         },
         "mmConvertIBISCharacters", "IBIS-Sonderzeichen in Umlaut konvertieren",
         "tbnConvertIBISCharacters", "IBIS-Sonderzeichen in Umlaut konvertieren"},
    };
    for (const TStep& step : steps) {
        step.act();
        EXPECT_TRUE(step.state()) << step.what;
        EXPECT_EQ(entry(step.entryName)->text(), QString::fromUtf8(step.caption)) << step.what;
        EXPECT_EQ(button(step.buttonName)->toolTip(), QString::fromUtf8(step.hint)) << step.what;
    }

    // the IBIS conversion belongs to every window: another one follows
    TfProtocolForm other(S, QString::fromStdString(File));
    w.SetConvertIBIS(false);
    other.RefreshFromState();
    EXPECT_FALSE(
        other.findChild<QToolButton*>(QStringLiteral("tbnConvertIBISCharacters"))->isChecked());
    w.SetConvertIBIS(true);

    // the captions follow the language
    SetUiLanguage(2);
    QApplication::processEvents();
    EXPECT_EQ(entry("mmSwitchFilter")->text(), QStringLiteral("Switch acoustic fil&ter on"));
    EXPECT_EQ(button("tbFilterOnOff")->text(), QStringLiteral("Filter on"));
    EXPECT_EQ(entry("mmHexMode")->text(), QStringLiteral("Show &hex column"));
    SetUiLanguage(1);
    QApplication::processEvents();
    EXPECT_EQ(entry("mmHexMode")->text(), QStringLiteral("&Hex-Darstellung einblenden"));
}

// Variable widths fill the table at any width (a wide window shows whole
// descriptions); fixed widths stay and can be dragged.
TEST_F(ProtocolWindowTest, ColumnsFollowTheWindowWidthUnlessFixed) {
    TfProtocolForm w(S, QString::fromStdString(File));
    QTableView* view = w.View();
    QHeaderView* h = view->horizontalHeader();
    auto show = [&](int width) {
        w.resize(width, 400);
        w.show();
        QApplication::processEvents();
    };
    EXPECT_FALSE(w.FixedWidths()) << "variable widths at the start";
    for (int width : {700, 1200, 1900}) {
        show(width);
        EXPECT_EQ(h->length(), view->viewport()->width()) << width;
        EXPECT_FALSE(view->horizontalScrollBar()->isVisible()) << width;
        EXPECT_EQ(h->sectionResizeMode(pcDescription), QHeaderView::Fixed) << "no dragging";
    }
    // wide: the descriptions are whole
    const QFontMetrics fm(view->font());
    for (int r = 0; r < Rows; ++r)
        EXPECT_GT(h->sectionSize(pcDescription),
                  fm.horizontalAdvance(FromCp1252(Recorded.Cell(pcDescription, r))))
            << r;
    // the hex column takes its share
    w.SetHexShown(true);
    QApplication::processEvents();
    EXPECT_EQ(h->length(), view->viewport()->width());
    EXPECT_GT(h->sectionSize(pcHex), 100);
    w.SetHexShown(false);
    // dragging a title border in variable mode says how to do it (while no
    // other tip is up, such as the one on the unanswered row)
    TBalloonHint::CloseCurrent();
    const QPoint at = h->viewport()->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, h->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h->viewport(), &press);
    QMouseEvent move(QEvent::MouseMove, at + QPoint(5, 0), h->viewport()->mapToGlobal(at),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h->viewport(), &move);
    EXPECT_TRUE(w.LastTip().startsWith(
        QStringLiteral("Wenn Sie die Spaltenbreite verändern wollen, dann müssen")));
    QMouseEvent release(QEvent::MouseButtonRelease, at, h->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(h->viewport(), &release);

    // fixed, through the mode button's drop-down: the widths stay
    auto* mode = w.findChild<QToolButton*>(QStringLiteral("tbRowMode"));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->toolTip(), QStringLiteral("variable Spaltenbreite"));
    for (QAction* a : mode->menu()->actions())
        if (a->text() == QStringLiteral("Spaltenbreite fixieren")) a->trigger();
    EXPECT_TRUE(w.FixedWidths());
    EXPECT_EQ(mode->toolTip(), QStringLiteral("feste Spaltenbreite"));
    EXPECT_EQ(h->sectionResizeMode(pcDescription), QHeaderView::Interactive);
    const int description = h->sectionSize(pcDescription);
    show(700);
    EXPECT_EQ(h->sectionSize(pcDescription), description);
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    // the button toggles back: the columns fit again
    mode->click();
    QApplication::processEvents();
    EXPECT_FALSE(w.FixedWidths());
    EXPECT_EQ(h->length(), view->viewport()->width());
}

// The find dialog stays open; "Weitersuchen" searches the active protocol
// window from the row after the current one, down or up, with or without
// case.
TEST_F(ProtocolWindowTest, FindDialogWithDirectionCaseAndFindNext) {
    TAutoAnswer answer(QMessageBox::Ok);
    QMdiArea area;
    auto* a = new TfProtocolForm(S, QString::fromStdString(File));
    auto* b = new TfProtocolForm(S, QString::fromStdString(File));
    QMdiSubWindow* subA = area.addSubWindow(a);
    area.addSubWindow(b);
    area.resize(900, 700);
    area.show();
    area.setActiveSubWindow(subA);
    a->FindAsked();
    QDialog* d = TfBaseProtocolForm::FindDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    auto* text = d->findChild<QLineEdit*>(QStringLiteral("edFindText"));
    auto* next = d->findChild<QPushButton*>(QStringLiteral("btFindNext"));
    auto* up = d->findChild<QRadioButton*>(QStringLiteral("rbUp"));
    auto* down = d->findChild<QRadioButton*>(QStringLiteral("rbDown"));
    auto* matchCase = d->findChild<QCheckBox*>(QStringLiteral("cbMatchCase"));
    ASSERT_TRUE(text && next && up && down && matchCase);
    EXPECT_TRUE(down->isChecked()) << "it starts searching downwards";
    EXPECT_FALSE(next->isEnabled()) << "nothing to search for yet";

    // the rows: a1, a10 (answer), l001, a2, z034
    a->View()->setCurrentIndex(a->Model().index(0, 0));
    struct TCase {
        const char* text;
        bool upwards, matchCase;
        int row; // the current row after "Weitersuchen"; -1 not found
    };
    const TCase cases[] = {
        {"Z034", false, false, 4}, // the case does not matter
        {"a", true, false, 3},     // upwards, from the row before the current one
        {"l001", true, false, 2},  {"l001", true, false, -1}, // once more: nothing above
        {"A1", false, true, -1},                              // the case matters: no "A1" below
        {"a1", false, true, -1},                              // "a1", "a10" lie above
        {"a1", true, true, 1},
    };
    int current = 0;
    for (const TCase& c : cases) {
        text->setText(QString::fromUtf8(c.text));
        (c.upwards ? up : down)->setChecked(true);
        matchCase->setChecked(c.matchCase);
        const int before = answer.Count;
        next->click();
        if (c.row < 0) {
            EXPECT_TRUE(WaitFor([&] { return answer.Count == before + 1; }));
        }
        if (c.row >= 0) current = c.row;
        EXPECT_EQ(a->View()->currentIndex().row(), current) << c.text;
        EXPECT_EQ(answer.Count, before + (c.row < 0 ? 1 : 0)) << c.text;
    }
    EXPECT_EQ(answer.LastText, QStringLiteral("Suchbegriff \"a1\" nicht gefunden."));
    EXPECT_TRUE(d->isVisible()) << "the dialog stays for the next search";

    // another window becomes the active one: the search goes there
    area.setActiveSubWindow(area.subWindowList().at(1));
    b->View()->setCurrentIndex(b->Model().index(0, 0));
    text->setText(QStringLiteral("z034"));
    down->setChecked(true);
    next->click();
    EXPECT_EQ(b->View()->currentIndex().row(), 4);
    EXPECT_EQ(a->View()->currentIndex().row(), 1);
}

// A protocol file of the current form: every field quoted, quotes doubled.
std::string ProtocolLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += ';';
        line += '"';
        for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line + "\r\n";
}

// A telegram whose check byte is a quote, its answer, destination texts with
// IBIS umlauts ("{" is ä), blanks and a real full stop.
std::string UmlautProtocol(const test::TempDir& dir) {
    auto telegram = [](const std::string& text) { return text + '\r' + CalcCheckByte(text); };
    EXPECT_EQ(CalcCheckByte("a1"), '"');
    return dir.Write(
        "umlaut.PRO.CSV",
        ProtocolLine({"M", "1", "28800000", "", "", telegram("a1"), "", "020", "Status", "0"}) +
            ProtocolLine({"S", "2", "28800050", "20", "", telegram("a10"), "", "120", "Antwort", "4"}) +
            ProtocolLine({"M", "3", "28800100", "", "", telegram("aA11Universit{t  Ost"), "", "021",
                          "Ziel", "-1"}) +
            ProtocolLine({"M", "4", "28800200", "", "", telegram("aA11Hbf. Bahnhof    "), "", "021",
                          "Ziel", "-1"}));
}

// The clipboard read back by the table reader: lines of fields.
std::vector<std::vector<QString>> ReadClipboard(const test::TempDir& dir) {
    const QByteArray text = QApplication::clipboard()->text().toUtf8();
    const std::string file = dir.Write("clipboard.txt", std::string(text.constData(), text.size()));
    std::vector<std::vector<QString>> lines;
    EXPECT_TRUE(ForEachTableLine(file, '"', '\t', [&](std::vector<std::string>& fields, int) {
        std::vector<QString> line;
        for (const std::string& f : fields) line.push_back(QString::fromUtf8(f));
        lines.push_back(line);
    }).Complete) << "every quote closed";
    return lines;
}

// Typed key by key, umlauts too (QTest::keyClicks takes ASCII only).
void TypeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

class ProtocolCopyTest : public MainWindowTest {};
class ProtocolSearchTest : public MonitorWindowTest {};

// Ctrl+A and Ctrl+C (the main window's commands) or rows chosen with the
// mouse: the clipboard holds what the cells show, quoted as a table file
// quotes, so the table reader gets the shown cells back.
TEST_F(ProtocolCopyTest, CopiesWhatTheCellsShow) {
    Start(TScenario::Idle);
    Env.SetConvertIBISCharacters(true);
    QApplication::setActiveWindow(W.get());
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(UmlautProtocol(Dir)));
    ASSERT_NE(p, nullptr);
    QTableView* table = p->View();
    const auto key = PressStandardKey;
    std::vector<int> columns; // the hex column is hidden
    for (int c = 0; c < kProtocolColumns; ++c)
        if (c != pcHex) columns.push_back(c);
    // every line: what the window's cells show at this moment
    const auto expectShown = [&](const std::vector<std::vector<QString>>& lines,
                                 const std::vector<int>& rows) {
        ASSERT_EQ(lines.size(), rows.size() + 1);
        ASSERT_EQ(lines[0].size(), columns.size());
        for (std::size_t k = 0; k < columns.size(); ++k)
            EXPECT_EQ(lines[0][k], ProtocolColumnTitle(columns[k]));
        for (std::size_t l = 0; l < rows.size(); ++l) {
            ASSERT_EQ(lines[l + 1].size(), columns.size()) << "line " << l + 1;
            for (std::size_t k = 0; k < columns.size(); ++k)
                EXPECT_EQ(lines[l + 1][k], ProtocolCellText(p->ShownTable(), rows[l], columns[k],
                                                            Parser, p->ShownCells()))
                    << "row " << rows[l] << " column " << columns[k];
        }
    };

    QApplication::clipboard()->clear();
    key(table, QKeySequence::SelectAll);
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 4);
    key(table, QKeySequence::Copy);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(QStringLiteral("\t\"a1<CR>\"\"\"\t"))) << copied.toStdString();
    const auto lines = ReadClipboard(Dir);
    expectShown(lines, {0, 1, 2, 3});
    const auto at = [&](int line, int col) {
        return lines[static_cast<std::size_t>(line)][static_cast<std::size_t>(col < pcHex ? col : col - 1)];
    };
    // what the cells show, spelled out
    EXPECT_EQ(at(1, pcKind), QStringLiteral("M"));
    EXPECT_EQ(at(1, pcStart), QStringLiteral("08:00:00,000"));
    EXPECT_EQ(at(1, pcTelegram), QStringLiteral("a1<CR>\""));
    EXPECT_EQ(at(2, pcTelegram), QStringLiteral("a10<CR><$12>"));
    EXPECT_TRUE(at(3, pcTelegram).startsWith(QString::fromUtf8("aA11Universität  Ost<CR>")))
        << "blanks stay blanks";
    EXPECT_TRUE(at(4, pcTelegram).startsWith(QStringLiteral("aA11Hbf. Bahnhof    <CR>")));
    EXPECT_EQ(at(1, pcAnswer), QString::fromUtf8("✓"));
    EXPECT_EQ(at(2, pcAnswer), QString::fromUtf8("↑"));
    EXPECT_EQ(at(3, pcAnswer), QStringLiteral("?"));
    EXPECT_EQ(at(1, pcReaction), QString()) << "the cross of a master row";
    EXPECT_EQ(at(2, pcReaction), QStringLiteral("20"));

    // without the IBIS conversion and warning marks, two rows by the mouse
    p->findChild<QToolButton*>(QStringLiteral("tbnConvertIBISCharacters"))->click();
    p->findChild<QToolButton*>(QStringLiteral("tbAutoWarning"))->click();
    ASSERT_FALSE(Env.ConvertIBISCharacters());
    QApplication::processEvents();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(p->Model().index(1, pcNr)).center());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      table->visualRect(p->Model().index(2, pcNr)).center());
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 2);
    key(table, QKeySequence::Copy);
    const auto mouse = ReadClipboard(Dir);
    expectShown(mouse, {1, 2});
    EXPECT_TRUE(mouse[2][pcTelegram].startsWith(QStringLiteral("aA11Universit{t  Ost<CR>")));
    EXPECT_EQ(mouse[1][pcAnswer - 1], QString()) << "no symbol without warning marks";
    Env.SetConvertIBISCharacters(true);
}

// Typed into the marking field: rows whose telegram shows the text are
// marked; the field says how it reads its text.
TEST_F(ProtocolSearchTest, MarkingFieldMarksTheTextAsShown) {
    const std::string file = UmlautProtocol(Dir);
    TfProtocolForm w(S, QString::fromStdString(file));
    w.resize(900, 400);
    w.show();
    QApplication::processEvents();
    auto* mark = w.findChild<QLineEdit*>(QStringLiteral("edMarkRecords"));
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->toolTip().contains(QStringLiteral("beginnt")));
    EXPECT_TRUE(mark->toolTip().contains(QStringLiteral("\"*\"")));
    const auto marked = [&](int row) {
        QApplication::processEvents();
        const QImage shot = w.View()->viewport()->grab().toImage();
        const QRect cell = w.View()->visualRect(w.Model().index(row, pcNr));
        return shot.pixelColor(cell.left() + 2, cell.center().y()) == QColor(0xFF, 0x80, 0x00);
    };
    w.View()->setCurrentIndex(w.Model().index(1, 0)); // the current row is never marked
    mark->setFocus();
    TypeText(mark, QString::fromUtf8("*Universität"));
    EXPECT_TRUE(marked(2));
    EXPECT_FALSE(marked(3));
    EXPECT_FALSE(marked(0));
    mark->clear();
    TypeText(mark, QStringLiteral("*Hbf/?"));
    EXPECT_FALSE(marked(3)) << "/? is a question mark itself";
    mark->clear();
    TypeText(mark, QStringLiteral("aA11h?f."));
    EXPECT_TRUE(marked(3));
    EXPECT_FALSE(marked(2));
    // the hint in English
    SetUiLanguage(2);
    QApplication::processEvents();
    EXPECT_TRUE(mark->toolTip().startsWith(QStringLiteral("Marks the rows"))) << mark->toolTip().toStdString();
    SetUiLanguage(1);
}

// Enter in the find dialog searches the text as shown; "not found" is said
// after the key event, not inside it.
TEST_F(ProtocolSearchTest, FindDialogFindsUmlautsAndAnswersAfterTheKey) {
    TAutoAnswer answer(QMessageBox::Ok);
    const std::string file = UmlautProtocol(Dir);
    TfProtocolForm w(S, QString::fromStdString(file));
    w.show();
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    w.findChild<QPushButton*>(QStringLiteral("tbFind"))->click();
    QDialog* d = TfBaseProtocolForm::FindDialog();
    ASSERT_NE(d, nullptr);
    auto* text = d->findChild<QLineEdit*>(QStringLiteral("edFindText"));
    ASSERT_NE(text, nullptr);
    text->clear();
    TypeText(text, QString::fromUtf8("Universität"));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(w.View()->currentIndex().row(), 2);
    EXPECT_EQ(answer.Count, 0);
    text->clear();
    TypeText(text, QString::fromUtf8("Universitäten"));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(answer.Count, 0) << "no message box inside the key event";
    ASSERT_TRUE(WaitFor([&] { return answer.Count == 1; }));
    EXPECT_EQ(answer.LastText, QString::fromUtf8("Suchbegriff \"Universitäten\" nicht gefunden."));
    EXPECT_EQ(w.View()->currentIndex().row(), 2);
    d->close();
}

// Return in the marking field works on the marking: the next marked row
// becomes the current one and the field keeps the focus; the detail panel
// stays as it was. Return in the table still opens the row's analysis.
TEST_F(ProtocolWindowTest, ReturnInTheMarkingFieldGoesToTheNextMarkedRow) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.resize(900, 400);
    w.show();
    QApplication::setActiveWindow(&w);
    int analysed = 0;
    w.Analyse = [&](TDetailKind, int, QVBoxLayout*) {
        ++analysed;
        return false;
    };
    QLineEdit* mark = w.MarkEdit();
    ASSERT_NE(mark, nullptr);
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    mark->setFocus();
    ASSERT_TRUE(WaitFor([&] { return mark->hasFocus(); }));
    QTest::keyClicks(mark, QStringLiteral("a")); // a1, a10 and a2
    const auto current = [&] { return w.View()->currentIndex().row(); };
    for (int expected : {1, 3, 0}) {
        QTest::keyClick(mark, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(current(), expected) << "the next marked row, from the top after the last";
        EXPECT_FALSE(w.DetailPanel()->isVisible());
        EXPECT_TRUE(mark->hasFocus());
    }
    EXPECT_EQ(analysed, 0) << "no analysis from the marking field";
    mark->clear();
    QTest::keyClicks(mark, QStringLiteral("x"));
    QTest::keyClick(mark, Qt::Key_Return);
    EXPECT_EQ(current(), 0) << "nothing marked: the current row stays";

    w.View()->setFocus();
    ASSERT_TRUE(WaitFor([&] { return w.View()->hasFocus(); }));
    QTest::keyClick(w.View(), Qt::Key_Return);
    EXPECT_EQ(analysed, 1) << "Return in the table opens the analysis";
    EXPECT_TRUE(w.DetailPanel()->isVisible());
}

TEST_F(ProtocolWindowTest, TooltipsShowTimesOfDayAndTitlesTheirHints) {
    TfProtocolForm w(S, QString::fromStdString(File));
    const QString start = w.Model().data(w.Model().index(0, pcStart), Qt::ToolTipRole).toString();
    EXPECT_EQ(start, FromCp1252(MsToTimeText(StrToIntDef(Recorded.Cell(pcStart, 0), 0))));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d,\\d{3}$")).match(start).hasMatch())
        << start.toStdString();
    EXPECT_EQ(w.Model().data(w.Model().index(1, pcKind), Qt::ToolTipRole).toString(),
              QStringLiteral("Slavetelegramm"));
    EXPECT_EQ(w.Model().headerData(pcKind, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Handelt es sich um ein Master- oder Slavetelegramm?"));
    EXPECT_EQ(w.Model().headerData(pcStart, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Startzeit"));
}

// In a narrow window the detail panel scrolls; its values are not cut.
TEST_F(ProtocolWindowTest, ANarrowDetailPanelScrolls) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.resize(360, 420);
    w.show();
    QApplication::processEvents();
    w.DetailAnalysis(3); // the error analysis of the unanswered a2
    QApplication::processEvents();
    auto* scroll = w.findChild<QScrollArea*>(QStringLiteral("DetailScroll"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    const auto fields = w.DetailPanel()->findChildren<QLineEdit*>();
    ASSERT_FALSE(fields.isEmpty());
    for (QLineEdit* e : fields)
        EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(e->text()))
            << e->text().toStdString();
}

TEST_F(ProtocolWindowTest, FilterTipOnceAfterTheFilterWindowWasUsed) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter window was never opened";
    Env.SetFilterWindowWasOpened(true);
    w.SetFilterState(1);
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter is on already";
    w.SetFilterState(0);
    w.Activated();
    EXPECT_TRUE(w.LastTip().startsWith(QStringLiteral("Sie müssen die Filterung erst aktivieren")));
    EXPECT_TRUE(Env.HintGiven(THint::FilterHint));
}

TEST_F(ProtocolWindowTest, PlaybackSendsTheMasterRows) {
    // a session that keeps the single calls of a playback instead of sending
    std::vector<std::string> sent;
    TSession::TOptions options;
    options.SingleCalls = [&](const std::string& text) {
        // the scheduler takes the cell as recorded (CR and check byte are its business)
        sent.push_back(text.substr(0, text.find('\r')));
    };
    TSession session(Env, Parser, options);
    TfMonitorForm monitor(session); // the recording runs: playback may send
    monitor.Recorder().SafetyCopy = false;
    session.Status().SetDeviceOnline(true);
    session.Status().SetMaster(true);
    TfProtocolForm w(session, QString::fromStdString(File));
    QString active;
    QObject::connect(&session, &TSession::PlaybackChanged, [&](const QString& f) { active = f; });
    auto runOut = [&] {
        QElapsedTimer t;
        t.start();
        while (w.Sending() && t.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    // once, from the top: the master rows in order, the answer skipped
    Env.SetProtocolSendDelay(-5);
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    w.SendClicked();
    EXPECT_TRUE(w.Sending());
    EXPECT_EQ(active, QString::fromStdString(File));
    EXPECT_FALSE(w.AutoWarnings()) << "no warning marks while sending";
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Anhalten"));
    runOut();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"a1", "l001", "a2", "z034"}));
    EXPECT_TRUE(w.AutoWarnings());
    EXPECT_TRUE(active.isEmpty());
    EXPECT_TRUE(w.InfoPanel()->text().endsWith(QStringLiteral(": 4")));

    // single telegram: exactly the selected one
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smSingle);
    w.View()->setCurrentIndex(w.Model().index(2, 0));
    w.SendClicked();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"l001"}));
    EXPECT_EQ(w.View()->currentIndex().row(), 2) << "the selected row stays";

    // cyclic runs until the device stops being master
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smCyclic);
    w.SendClicked();
    QElapsedTimer t;
    t.start();
    while (sent.size() < 6 && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(sent.size(), 6u) << "it started again from the top";
    session.Status().SetMaster(false);
    w.RefreshFromState();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Senden"));
}

// An open analysis speaks the language the user switches to, both ways,
// for the same row.
TEST_F(ProtocolWindowTest, TheOpenAnalysisFollowsTheLanguage) {
    TfProtocolForm w(S, QString::fromStdString(File));
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const auto labels = [&] {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList texts;
        for (QLabel* l : w.DetailPanel()->findChildren<QLabel*>())
            texts << l->text();
        return texts;
    };
    const QPoint at = w.View()->visualRect(w.Model().index(0, pcTelegram)).center();
    QTest::mousePress(w.View()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(w.View()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w.View()->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(w.DetailPanel()->isVisible());
    EXPECT_TRUE(labels().contains(QStringLiteral("Lfd-Nr.:"))) << labels().join('|').toStdString();
    SetUiLanguage(2);
    QApplication::processEvents();
    EXPECT_TRUE(w.DetailPanel()->isVisible());
    EXPECT_EQ(w.DetailRow(), 0);
    EXPECT_TRUE(labels().contains(QStringLiteral("No.:"))) << labels().join('|').toStdString();
    EXPECT_FALSE(labels().contains(QStringLiteral("Lfd-Nr.:")));
    SetUiLanguage(1);
    QApplication::processEvents();
    EXPECT_TRUE(labels().contains(QStringLiteral("Lfd-Nr.:"))) << labels().join('|').toStdString();
    EXPECT_FALSE(labels().contains(QStringLiteral("No.:")));
}

TEST_F(ProtocolWindowTest, ABrokenRowsAnalysisIsRefusedInTheActiveLanguage) {
    TAutoAnswer answer(QMessageBox::Ok);
    const std::string broken =
        Dir.Write("broken.PRO.CSV",
                  "\"M\";\"1\";\"1000\";\"\";\"\";\"aAx2A5Hbf\";\"\";\"021\";\"\";\"\"\r\n");
    TfProtocolForm w(S, QString::fromStdString(broken));
    w.show();
    // Enter on the row: the message comes once the key event is done
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(answer.Count, 0) << "no message box inside the key event";
    ASSERT_TRUE(WaitFor([&] { return answer.Count == 1; }));
    EXPECT_EQ(answer.LastText,
              QStringLiteral("Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines "
                             "DS 021).\nDas Telegramm kann nicht analysiert werden."));
    EXPECT_FALSE(w.DetailPanel()->isVisible());
    w.HideDetail();
    SetUiLanguage(2);
    w.DetailAnalysis(0);
    SetUiLanguage(1);
    ASSERT_TRUE(WaitFor([&] { return answer.Count == 2; }));
    EXPECT_EQ(answer.LastText, QStringLiteral("This telegram is erroneous (see VDV 300 on the "
                                              "structure of a DS 021).\nThe telegram cannot be "
                                              "analysed."));
}

TEST_F(ProtocolWindowTest, OlderFormsAndTheCloseQuestion) {
    TAutoAnswer answer(QMessageBox::No);
    // the comma form is written back in the current form: nothing to ask
    const std::string comma =
        Dir.Write("old.PRO.CSV", "'M','1','1000','','','l001\r/',' 6C','001','x','',\r\n");
    TfProtocolForm a(S, QString::fromStdString(comma));
    EXPECT_TRUE(a.LoadInfo().WrittenBack);
    EXPECT_TRUE(std::filesystem::exists(Dir / "old.PRO.BAK"));
    EXPECT_TRUE(a.MayClose());
    EXPECT_EQ(answer.Count, 0);
    // an unquoted file is re-analysed only in memory: closing asks
    const std::string plain = Dir.Write("plain.PRO.CSV", "M;1;1000;;;l001;;;;\r\n");
    TfProtocolForm b(S, QString::fromStdString(plain));
    EXPECT_TRUE(b.MayClose()) << "No closes without saving";
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("importiert oder erneut analysiert")));
    // the re-analysis button marks the rows as changed too
    // and shows it at once by a "*" after the caption, until it is saved
    EXPECT_TRUE(b.windowTitle().endsWith(QStringLiteral(" *"))) << "b is changed";
    TfProtocolForm c(S, QString::fromStdString(File));
    EXPECT_EQ(c.windowTitle(), c.Caption()) << "unchanged: no mark";
    auto* again = c.findChild<QPushButton*>(QStringLiteral("tbReanalyse"));
    ASSERT_NE(again, nullptr);
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_EQ(c.Model().rowCount(), Rows);
    EXPECT_EQ(c.windowTitle(), c.Caption() + QStringLiteral(" *"));
    EXPECT_TRUE(c.MayClose());
    EXPECT_EQ(answer.Count, 2);
    ASSERT_TRUE(c.SaveTo(QString::fromStdString(Dir / "again.PRO.CSV")));
    EXPECT_EQ(c.windowTitle(), c.Caption()) << "saved: the mark goes";
    EXPECT_TRUE(c.Caption().startsWith(QStringLiteral("Protokoll ")));
}

TEST_F(ProtocolWindowTest, BrokenFilesAreRefused) {
    const std::string broken = Dir.Write("broken.PRO.CSV", "\"M\";\"1\"\r\nno separator here\r\n");
    EXPECT_THROW(TfProtocolForm(S, QString::fromStdString(broken)), EVaskelError);
    const QString text = ProtocolLoadErrorText(QStringLiteral("Ungültiges Protokollformat"));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Die ausgewählte Datei ist kein gültiges Protokoll")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nFalls Sie gleichzeitig")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Ungültiges Protokollformat")));
}

} // namespace
} // namespace vaskel
