// The printed pages: their texts (read back through a paint device that keeps
// what is written), the PDF file and vaskel-cli print.
#include "print/ProtocolPrint.h"
#include "TestSupport.h"
#include "cli/CliCommands.h"
#include "cli/CommandRegistry.h"
#include "cli/PrintCommand.h"
#include "platform/QtText.h"
#include "recording/Recorder.h"

#include <QDate>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace vaskel {
namespace {

// A page that keeps the texts drawn on it.
class TTextEngine : public QPaintEngine {
public:
    TTextEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        Texts << item.text();
        Items.push_back({item.text(), at.x(), at.y(),
                         QFontMetricsF(item.font()).horizontalAdvance(item.text())});
    }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return QPaintEngine::User; }
    QStringList Texts;
    struct TItem {
        QString Text;
        double X, Baseline, Width;
    };
    std::vector<TItem> Items; // where each text went, in page units
};

class TTextPage : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &FEngine; }
    QStringList Texts() const { return FEngine.Texts; }
    const std::vector<TTextEngine::TItem>& Items() const { return FEngine.Items; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return 2970;
        case PdmHeight: return 2970;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 254;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    mutable TTextEngine FEngine;
};

// The texts drawn in the table's body that run past the right edge of the
// column they start in.
QStringList TextsPastTheirColumn(const TProtocolPrint& print, int page) {
    TTextPage device;
    QPainter p(&device);
    print.PaintPage(p, page);
    p.end();
    std::vector<double> edges; // right edge of each shown column
    double x = kPrintCellLeft;
    for (std::size_t c = 0; c < print.Widths().size(); ++c) {
        if (print.Widths()[c] <= 0) continue;
        x += print.Widths()[c] + (c == pcKind ? 10 : 0);
        edges.push_back(x);
    }
    QStringList past;
    for (const auto& item : device.Items()) {
        if (item.Baseline < TPrintPages::BodyTop(page) ||
            item.Baseline > print.Paper().Height - kPrintBodyEnd + kPrintRowHeight)
            continue;
        const auto edge = std::upper_bound(edges.begin(), edges.end(), item.X);
        if (edge == edges.end() || item.X + item.Width > *edge + 0.5) past << item.Text;
    }
    return past;
}

QStringList PageTexts(const TProtocolPrint& print, int page) {
    TTextPage device;
    QPainter p(&device);
    print.PaintPage(p, page);
    p.end();
    return device.Texts();
}

TIBISTelegramParser& Parser() {
    static TIBISTelegramParser parser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV");
    return parser;
}

TTable Protocol(int rows) {
    TTable t = MakeProtocolTable();
    for (int r = 0; r < rows; ++r) {
        if (r > 0) t.AppendRow();
        t.SetRow(r, {"M", std::to_string(r + 1), std::to_string(36000000 + r * 100), "", "",
                     "l012\r-", "", "001", "Liniennummer", ""});
    }
    return t;
}

TPrintJob Job(const TTable& t, std::vector<int> rows) {
    TPrintJob job;
    job.Table = &t;
    job.Parser = &Parser();
    job.Heading = QStringLiteral("LINIE7.PRO.CSV");
    job.Note = QStringLiteral("Anzeige flackert");
    job.Rows = std::move(rows);
    job.Titles = GermanProtocolColumnTitles();
    job.Version = QStringLiteral("3.11.0.0");
    job.PrintedAt = QStringLiteral("10.12.2026 12:00:00");
    return job;
}

TEST(ProtocolPrint, PagesCarryHeaderRowsAndFooter) {
    const TTable t = Protocol(60);
    const TProtocolPrint print(Job(t, PrintRows(60, {})));
    ASSERT_EQ(print.PageCount(), 2);
    const QString first = PageTexts(print, 0).join(QLatin1Char('|'));
    EXPECT_TRUE(first.contains(QStringLiteral("|LINIE7.PRO.CSV|"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("Zeitraum: 10:00:00,000 bis 10:00:05,900 Uhr")));
    EXPECT_TRUE(first.contains(QStringLiteral("Anzeige flackert")));
    EXPECT_TRUE(first.contains(QStringLiteral("Vaskel Version 3.11.0.0")));
    EXPECT_TRUE(first.contains(QStringLiteral("Ausdruck vom 10.12.2026 12:00:00")));
    EXPECT_TRUE(first.contains(QStringLiteral("Seite 1")));
    EXPECT_TRUE(first.contains(QStringLiteral("|53|")));
    EXPECT_FALSE(first.contains(QStringLiteral("|54|")));
    EXPECT_TRUE(first.contains(QStringLiteral("Startzeit")));
    const QString second = PageTexts(print, 1).join(QLatin1Char('|'));
    EXPECT_TRUE(second.contains(QStringLiteral("LINIE7.PRO.CSV - Folgeblatt")));
    EXPECT_TRUE(second.contains(QStringLiteral("|54|")));
    EXPECT_TRUE(second.contains(QStringLiteral("|60|")));
    EXPECT_TRUE(second.contains(QStringLiteral("Seite 2")));
    // the telegram in its segments, the CR as text
    EXPECT_TRUE(second.contains(QStringLiteral("<CR>"))) << second.toStdString();
    // and the check byte after it, as the protocol window shows it
    EXPECT_TRUE(second.contains(QStringLiteral("<CR>|-|"))) << second.toStdString();
    // every cell's text within its column (the description was cut before)
    for (int page = 0; page < 2; ++page) {
        const QStringList past = TextsPastTheirColumn(print, page);
        EXPECT_TRUE(past.isEmpty()) << page << ": " << past.join(QLatin1Char('|')).toStdString();
    }
}

TEST(ProtocolPrint, TitlesShrinkToFitNarrowColumns) {
    const TTable t = Protocol(3);
    TPrintJob job = Job(t, {0, 1, 2});
    job.Titles[pcNr] = QStringLiteral("Eine sehr lange Spaltenüberschrift");
    const TProtocolPrint print(std::move(job));
    // still drawn, however small the font gets (not below 5 points)
    EXPECT_TRUE(PageTexts(print, 0).contains(QStringLiteral("Eine sehr lange Spaltenüberschrift")));
}

// A protocol with a telegram and a description much wider than a page, an
// answer with its reaction time, and a short row.
TTable LongRows() {
    TTable t = MakeProtocolTable();
    std::string text;
    for (int k = 0; k < 12; ++k) text += "Hauptbahnhof " + std::to_string(k) + " ";
    const std::string description =
        "Zieltext mit sehr langer Beschreibung, die weit ueber den Rand der Spalte hinausreicht "
        "und deshalb auf weiteren Zeilen derselben Zeile weitergeht, Ende";
    t.SetRow(0, {"M", "1", "36000000", "", "", "zA" + text + "\r-", "", "003", description, ""});
    t.AppendRow();
    t.SetRow(1, {"S", "2", "36000100", "26", "", "a20\r?", "", "120", "Antwort", "0"});
    t.AppendRow();
    t.SetRow(2, {"M", "3", "36005900", "", "", "l012\r-", "", "001", "Liniennummer", ""});
    return t;
}

// Long telegrams and descriptions wrap onto more lines of their row: every
// character is printed, none cut at the column's edge.
TEST(ProtocolPrint, LongCellsWrapAndNothingIsLost) {
    const TTable t = LongRows();
    for (const bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        TPrintJob job = Job(t, PrintRows(3, {}));
        job.Landscape = landscape;
        const TProtocolPrint print(std::move(job));
        ASSERT_EQ(print.PageCount(), 1);
        EXPECT_GT(print.Pages().LinesOf(0), 1) << "the long row takes more lines";
        EXPECT_EQ(print.Pages().LinesOf(2), 1);
        const QString drawn = PageTexts(print, 0).join(QString());
        const QString telegram =
            FromCp1252(PrintTelegramText(t, 0, Parser(), TBusType::bsVehicleBus).Joined());
        ASSERT_GT(telegram.size(), 150);
        EXPECT_TRUE(drawn.contains(telegram)) << drawn.toStdString();
        // the description breaks at blanks; its words all come out in order
        QString words = FromCp1252(t.Cell(pcDescription, 0));
        QString drawnWords = drawn;
        words.remove(QLatin1Char(' '));
        drawnWords.remove(QLatin1Char(' '));
        EXPECT_TRUE(drawnWords.contains(words)) << drawn.toStdString();
        // no text runs past its column: the old printout drew the telegram
        // in one line far over the page's edge, and cut it there
        const QStringList past = TextsPastTheirColumn(print, 0);
        EXPECT_TRUE(past.isEmpty()) << past.join(QLatin1Char('|')).toStdString();
        // each wrapped line fits its cell
        for (int c : {pcTelegram, pcDescription}) {
            const QStringList lines = print.CellLines(0, c);
            EXPECT_GT(lines.size(), 1) << c;
            const QFont font = c == pcTelegram ? PrintFont("Courier New", 8) : PrintFont("Arial", 8);
            for (const QString& line : lines)
                EXPECT_LE(QFontMetricsF(font).horizontalAdvance(line.trimmed()),
                          print.Widths()[static_cast<std::size_t>(c)] - 10 + 0.5)
                    << c << " " << line.toStdString();
        }
        // the columns that do not wrap keep the room their texts need
        const QFontMetricsF courier(PrintFont("Courier New", 8));
        EXPECT_GE(print.Widths()[pcStart], courier.horizontalAdvance(QStringLiteral("10:00:05,900")));
        EXPECT_GE(print.Widths()[pcNr], courier.horizontalAdvance(QStringLiteral("Nr.")));
    }
}

// The printout shows the cells as the protocol window does: an answer's
// reaction in milliseconds, none for a master; the period with its date.
TEST(ProtocolPrint, ReactionInMillisecondsAndThePeriodWithItsDate) {
    const TTable t = LongRows();
    TPrintJob job = Job(t, PrintRows(3, {}));
    TDateTime saved;
    saved.Year = 2026;
    saved.Month = 12;
    saved.Day = 10;
    saved.Hour = 12;
    job.Reference = saved;
    const TProtocolPrint print(std::move(job));
    const QString texts = PageTexts(print, 0).join(QLatin1Char('|'));
    EXPECT_TRUE(texts.contains(QStringLiteral("|26|"))) << texts.toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("0,026"))) << texts.toStdString();
    EXPECT_TRUE(texts.contains(
        QStringLiteral("Zeitraum: 10.12.2026 10:00:00,000 bis 10:00:05,900 Uhr")))
        << texts.toStdString();
}

// When a protocol file was written: the moment in its name, else its last
// change.
TEST(ProtocolPrint, FileTimeFromTheNameOrTheFile) {
    test::TempDir dir;
    const std::string named = dir.Write("2026-12-10-08-15-30.PRO.CSV", "x");
    const auto t = ProtocolFileTime(QString::fromStdString(named));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Year, 2026);
    EXPECT_EQ(t->Day, 10);
    EXPECT_EQ(t->MsOfDay(), ((8 * 60 + 15) * 60 + 30) * 1000);
    const std::string plain = dir.Write("LINIE7.PRO.CSV", "x");
    const auto changed = ProtocolFileTime(QString::fromStdString(plain));
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->Year, QDate::currentDate().year());
    EXPECT_FALSE(ProtocolFileTime(QString::fromStdString(dir / "missing.PRO.CSV")));
}

int PdfPages(const std::string& bytes) {
    static const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page),
                                          std::sregex_iterator()));
}

TEST(ProtocolPrint, PdfHasOnePagePerPrintedPage) {
    test::TempDir dir;
    const TTable t = Protocol(120);
    const TProtocolPrint print(Job(t, PrintRows(120, {})));
    ASSERT_EQ(print.PageCount(), 3);
    QString error;
    int calls = 0;
    ASSERT_TRUE(WriteProtocolPdf(print, QString::fromStdString(dir / "p.pdf"), &error,
                                 [&](int, int total) {
                                     ++calls;
                                     return total == 3;
                                 }));
    const std::string pdf = test::ReadFile(dir / "p.pdf");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(PdfPages(pdf), 3);
    EXPECT_EQ(calls, 4);
}

TEST(ProtocolPrint, StoppedPdfLeavesNoFile) {
    test::TempDir dir;
    const TTable t = Protocol(120);
    const TProtocolPrint print(Job(t, PrintRows(120, {})));
    QString error;
    EXPECT_FALSE(WriteProtocolPdf(print, QString::fromStdString(dir / "p.pdf"), &error,
                                  [](int done, int) { return done < 1; }));
    EXPECT_FALSE(std::filesystem::exists(dir / "p.pdf"));
    EXPECT_FALSE(error.isEmpty());
}

struct TCliRun {
    int Code;
    std::string Out;
    std::string Err;
};

TCliRun Cli(std::vector<std::string> args) {
    RegisterCliCommand(PrintCommand());
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    const int code = RunCli(args, out, err, std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV", in);
    return {code, out.str(), err.str()};
}

std::string WriteProtocol(const test::TempDir& dir, int rows) {
    std::string text;
    for (int r = 0; r < rows; ++r)
        text += "\"M\";\"" + std::to_string(r + 1) + "\";\"" + std::to_string(36000000 + r * 100) +
                "\";\"\";\"\";\"l012\r-\";\" 6C 30 31 32 0D 2D\";\"001\";\"Liniennummer\";\"\"\r\n";
    return dir.Write("LINIE7.PRO.CSV", text);
}

TEST(PrintCommand, WritesThePdfOfAProtocolAndARange) {
    test::TempDir dir;
    const std::string in = WriteProtocol(dir, 120);
    const std::string before = test::ReadFile(in);
    TCliRun run = Cli({"print", "--note", "Türanzeige", in, dir / "all.pdf"});
    ASSERT_EQ(run.Code, kCliOk) << run.Err;
    EXPECT_NE(run.Out.find("3 pages, 120 rows"), std::string::npos) << run.Out;
    EXPECT_EQ(PdfPages(test::ReadFile(dir / "all.pdf")), 3);
    EXPECT_EQ(test::ReadFile(in), before);

    run = Cli({"print", "--rows", "10-20", "--landscape", in, dir / "part.pdf"});
    ASSERT_EQ(run.Code, kCliOk) << run.Err;
    EXPECT_NE(run.Out.find("1 page, 11 rows"), std::string::npos) << run.Out;
    // a range past the end stops at the last row, and says so
    run = Cli({"print", "--rows", "100-500", in, dir / "end.pdf"});
    EXPECT_EQ(run.Code, kCliOk) << run.Err;
    EXPECT_NE(run.Out.find("21 rows"), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find("note: --rows 100-500: the protocol has 120 rows; rows 100-120 are "
                           "printed"),
              std::string::npos)
        << run.Err;
    // an output that cannot be written: exit status 2, as for every command
    for (const std::string& out : {dir / "no-such-folder/x.pdf", dir / "no-such-folder/x.png"}) {
        run = Cli({"print", in, out});
        EXPECT_EQ(run.Code, kCliUsage) << out << run.Err;
        EXPECT_FALSE(run.Err.empty());
    }
}

// The printout onto a disk that fills up while it is written (64 KiB, far
// less than the PDF), a full one and a read-only folder: exit status 2, the
// message names the file, and the previous printout stays as it was.
TEST(PrintCommand, AFailedWriteKeepsThePreviousPrintout) {
    test::TempDir dir;
    const std::string in = WriteProtocol(dir, 3000);
    enum { FillsUp, Full, ReadOnly };
    for (const int fault : {FillsUp, Full, ReadOnly})
        for (const char* name : {"p.pdf", "p.png"}) {
            // the first page as a picture may well fit
            if (fault == FillsUp && std::string(name) == "p.png") continue;
            SCOPED_TRACE(std::string(name) + (fault == FillsUp ? " on a disk that fills up"
                                              : fault == Full ? " on a full disk"
                                                              : " in a read-only folder"));
            test::FaultyFolder folder(fault == ReadOnly ? test::TWriteFault::ReadOnlyFolder
                                                        : test::TWriteFault::FullDisk);
            if (!folder.Usable()) GTEST_SKIP() << folder.Why();
            const std::string out = folder.Write(name, "previous printout");
            if (fault != FillsUp) folder.Break();
            const TCliRun run = Cli({"print", in, out});
            EXPECT_EQ(run.Code, kCliUsage) << run.Out;
            EXPECT_NE(run.Err.find(out), std::string::npos) << run.Err;
            EXPECT_EQ(run.Out, "");
            EXPECT_EQ(test::ReadFile(out), "previous printout");
            EXPECT_EQ(folder.Names(), std::vector<std::string>{name}) << "a temporary file is left";
        }
}

TEST(PrintCommand, RefusesBadInputWithoutWriting) {
    test::TempDir dir;
    const std::string in = WriteProtocol(dir, 5);
    const struct {
        std::vector<std::string> Args;
        const char* Says;
    } cases[] = {
        {{"print", in}, "IN and OUT are needed"},
        {{"print", "--rows", "5-2", in, dir / "x.pdf"}, "not a row range"},
        {{"print", "--rows", "9-12", in, dir / "x.pdf"}, "row 9 is not in the protocol"},
        {{"print", "--note", std::string(56, 'x'), in, dir / "x.pdf"}, "more than 55"},
        {{"print", "--bogus", in, dir / "x.pdf"}, "unknown option"},
        {{"print", dir / "missing.PRO.CSV", dir / "x.pdf"}, "missing.PRO.CSV"},
    };
    for (const auto& c : cases) {
        const TCliRun run = Cli(c.Args);
        EXPECT_EQ(run.Code, kCliUsage) << c.Says;
        EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(dir / "x.pdf"));
    }
}

TEST(PrintCommand, SaysWhenTheBuildHasNoPrinting) {
    ResetCliCommands();
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    EXPECT_EQ(RunCli({"print", "a", "b"}, out, err, "", in), kCliUsage);
    EXPECT_NE(err.str().find("not available in this build"), std::string::npos);
}

// Registered by the program, print takes the place the command list keeps
// for it, and its help and the program's list are those of the real command.
TEST(PrintCommand, RegistersInThePlaceTheListKeepsForIt) {
    ResetCliCommands();
    const auto& before = CliCommandRegistry().Commands();
    const auto at = [](const std::vector<TCliCommand>& list) {
        return std::find_if(list.begin(), list.end(),
                            [](const TCliCommand& c) { return c.Name == "print"; }) -
               list.begin();
    };
    const auto place = at(before);
    const std::size_t count = before.size();
    ASSERT_LT(static_cast<std::size_t>(place), count);
    const auto missing = [] {
        const std::string help = ProgramHelp(CliCommandRegistry());
        const std::size_t p = help.find("Not in this build:");
        return p == std::string::npos ? std::string() : help.substr(p, help.find('\n', p) - p);
    };
    EXPECT_NE(missing().find("print"), std::string::npos) << missing();
    RegisterCliCommand(PrintCommand());
    const auto& after = CliCommandRegistry().Commands();
    EXPECT_EQ(after.size(), count);
    EXPECT_EQ(at(after), place);
    EXPECT_TRUE(after[static_cast<std::size_t>(place)].Unavailable.empty());
    EXPECT_EQ(missing().find("print"), std::string::npos) << missing();
    const TCliRun help = Cli({"print", "--help"});
    EXPECT_EQ(help.Code, kCliOk);
    for (const char* option : {"--note TEXT", "--rows FIRST-LAST", "--landscape", "--hex"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace vaskel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
