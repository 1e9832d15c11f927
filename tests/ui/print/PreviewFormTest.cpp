// The printout's windows: the job a protocol window hands over, the note
// dialog and the preview.

#include "ui/print/PreviewForm.h"
#include "ui/protocol/MonitorFixture.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

namespace vaskel {
namespace {

class PrintWindowTest : public ProtocolWindowTest {};

TEST_F(PrintWindowTest, PrintJobTakesTheSelectionOrEveryRow) {
    TfProtocolForm w(S, QString::fromStdString(File));
    ASSERT_GE(Rows, 4);
    // one row selected: the whole protocol
    w.View()->selectRow(1);
    TPrintJob job = w.PrintJob();
    EXPECT_EQ(static_cast<int>(job.Rows.size()), Rows);
    EXPECT_EQ(job.Heading, QFileInfo(QString::fromStdString(File)).fileName());
    // the hex column is hidden in the window, so not printed
    ASSERT_EQ(job.ColumnShown.size(), static_cast<std::size_t>(kProtocolColumns));
    EXPECT_FALSE(job.ColumnShown[pcHex]);
    EXPECT_TRUE(job.ColumnShown[pcTelegram]);
    // rows 2 to 4: those three
    QItemSelection sel(w.Model().index(1, 0), w.Model().index(3, kProtocolColumns - 1));
    w.View()->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
    job = w.PrintJob();
    EXPECT_EQ(job.Rows, (std::vector<int>{1, 2, 3}));
    // rows the filter hides are printed too
    w.View()->setRowHidden(2, true);
    EXPECT_EQ(w.PrintJob().Rows, (std::vector<int>{1, 2, 3}));
    w.SetHexShown(true);
    EXPECT_TRUE(w.PrintJob().ColumnShown[pcHex]);
}

TEST_F(PrintWindowTest, PreviewShowsThePagesAndSavesThePdf) {
    TfProtocolForm w(S, QString::fromStdString(File));
    auto print = std::make_unique<TProtocolPrint>(w.PrintJob());
    const int pages = print->PageCount();
    TfPreviewForm preview(std::move(print));
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Druckvorschau - Vaskel"));
    EXPECT_EQ(preview.Tabs()->count(), pages);
    EXPECT_EQ(preview.Tabs()->tabText(0), QStringLiteral("1"));
    const double whole = preview.Zoom();
    preview.ZoomIn();
    EXPECT_GT(preview.Zoom(), whole);
    preview.ZoomOut();
    preview.ZoomOut();
    EXPECT_LT(preview.Zoom(), whole);
    preview.WholePage();
    EXPECT_DOUBLE_EQ(preview.Zoom(), whole);
    const std::string pdf = Dir / "out.pdf";
    ASSERT_TRUE(preview.SavePdf(QString::fromStdString(pdf)));
    EXPECT_EQ(test::ReadFile(pdf).rfind("%PDF-", 0), 0u);
}

TEST(PrintPreview, ManyPagesAreReachedByNumberAndTabsFollowTheCount) {
    TTable t = MakeProtocolTable();
    t.Reserve(60000);
    for (int r = 0; r < 60000; ++r) {
        if (r > 0) t.AppendRow();
        t.SetRow(r, {"M", std::to_string(r + 1), std::to_string(36000000 + r), "", "", "l012\r",
                     "", "001", "Liniennummer", ""});
    }
    static TIBISTelegramParser parser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV");
    TPrintJob job;
    job.Table = &t;
    job.Parser = &parser;
    job.Rows = PrintRows(t.RowCount(), {});
    job.Titles = GermanProtocolColumnTitles();
    TfPreviewForm preview(std::make_unique<TProtocolPrint>(std::move(job)));
    EXPECT_EQ(preview.Print().PageCount(), 1 + (60000 - 53 + 54) / 55);
    EXPECT_EQ(preview.Tabs()->count(), 0);
    preview.ShowPage(700);
    EXPECT_EQ(preview.CurrentPage(), 700);
    preview.ShowPage(1000000);
    EXPECT_EQ(preview.CurrentPage(), preview.Print().PageCount() - 1);
}

TEST(PrintPreview, NoteIsOneTrimmedLineOfAtMost55Characters) {
    TfPrintInfomation note;
    EXPECT_EQ(note.windowTitle(), QStringLiteral("Protokollnotiz"));
    EXPECT_EQ(note.edDescription->maxLength(), 55);
    note.edDescription->setText(QStringLiteral("  Anzeige flackert  "));
    EXPECT_EQ(note.Note(), QStringLiteral("Anzeige flackert"));
    note.edDescription->setText(QString(80, QLatin1Char('x')));
    EXPECT_EQ(note.Note().size(), 55);
}

// "Als PDF speichern ..." proposes the protocol's name in the protocols'
// folder of the settings, not the folder the program was started in.
TEST_F(PrintWindowTest, ThePdfIsProposedInTheProtocolsFolder) {
    const std::string folder = Dir / "protokolle";
    std::filesystem::create_directories(folder);
    Env.SetProtokollDirectory(folder);
    TfProtocolForm w(S, QString::fromStdString(File));
    const QString expected = FromFileName(Env.DialogDirectory(TFileFolder::Protokolle));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(PdfFolderFor(&w), expected);
    EXPECT_EQ(PdfFolderFor(w.View()), expected) << "from any widget of the window";
    EXPECT_EQ(PdfFolderFor(nullptr), QString());

    TfPreviewForm preview(std::make_unique<TProtocolPrint>(w.PrintJob()), &w);
    preview.SetPdfFolder(PdfFolderFor(&w));
    QString proposed;
    preview.AskPdfFile = [&](const QString& p) {
        proposed = p;
        return QString();
    };
    auto* pdf = preview.findChild<QPushButton*>(QStringLiteral("btSavePdf"));
    ASSERT_NE(pdf, nullptr);
    pdf->click();
    EXPECT_EQ(proposed, QDir(expected).filePath(QStringLiteral("rec.pdf")));
}

} // namespace
} // namespace vaskel
