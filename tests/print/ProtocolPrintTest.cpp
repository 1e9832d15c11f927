// The printed pages: their texts (read back through a paint device that keeps
// what is written), the PDF file and vaskel-cli print.
#include "cli/CliCommands.h"
#include "cli/PrintCommand.h"
#include "print/ProtocolPrint.h"
#include "recording/Recorder.h"
#include "TestSupport.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>

#include <gtest/gtest.h>

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
    void drawTextItem(const QPointF&, const QTextItem& item) override { Texts << item.text(); }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return QPaintEngine::User; }
    QStringList Texts;
};

class TTextPage : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &FEngine; }
    QStringList Texts() const { return FEngine.Texts; }

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
}

TEST(ProtocolPrint, TitlesShrinkToFitNarrowColumns) {
    const TTable t = Protocol(3);
    TPrintJob job = Job(t, {0, 1, 2});
    job.Titles[pcNr] = QStringLiteral("Eine sehr lange Spaltenüberschrift");
    const TProtocolPrint print(std::move(job));
    // still drawn, however small the font gets (not below 5 points)
    EXPECT_TRUE(PageTexts(print, 0).contains(QStringLiteral("Eine sehr lange Spaltenüberschrift")));
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
    SetPrintCommand(RunPrint);
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
    SetPrintCommand(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    EXPECT_EQ(RunCli({"print", "a", "b"}, out, err, "", in), kCliUsage);
    EXPECT_NE(err.str().find("not available in this build"), std::string::npos);
}

} // namespace
} // namespace vaskel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
