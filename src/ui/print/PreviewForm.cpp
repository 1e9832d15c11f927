#include "ui/print/PreviewForm.h"

#include "platform/QtText.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vaskel {

TfPrintInfomation::TfPrintInfomation(QWidget* parent) : QDialog(parent) {
    SetHelpContext(this, help::kPrintNote);
    setObjectName(QStringLiteral("fPrintInfomation"));
    setWindowTitle(Tr("Protokollnotiz"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel;
    SetDe(info, "Sie haben die Möglichkeit, eine kurze Beschreibung für das auszudruckende "
                "Protokoll anzugeben, die mit in den Ausdruck aufgenommen wird (z. B. Grund des "
                "Protokolls oder angeschlossene Geräte).");
    info->setWordWrap(true);
    layout->addWidget(info);
    auto* label = new QLabel;
    SetDe(label, "Protokollnotiz (maximal 55 Zeichen):");
    layout->addWidget(label);
    edDescription = new QLineEdit;
    edDescription->setObjectName(QStringLiteral("edDescription"));
    edDescription->setMaxLength(kPrintNoteMax);
    edDescription->setToolTip(
        Tr("Sie können eine Notizzeile für das auszudruckende Protokoll eingeben."));
    label->setBuddy(edDescription);
    layout->addWidget(edDescription);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton;
    SetDe(ok, "OK");
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton;
    SetDe(cancel, "Abbrechen");
    cancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, sizeHint().height());
}

QString TfPrintInfomation::Note() const { return edDescription->text().trimmed(); }

// The page shown, drawn when it is painted.
class TPageView : public QWidget {
public:
    TPageView(const TProtocolPrint& print, QWidget* parent) : QWidget(parent), FPrint(print) {}
    void Show(int page, double zoom) {
        FPage = page;
        FZoom = zoom;
        const TPrintPaper& paper = FPrint.Paper();
        setFixedSize(static_cast<int>(std::lround(paper.Width * zoom)) + 20,
                     static_cast<int>(std::lround(paper.Height * zoom)) + 20);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const TPrintPaper& paper = FPrint.Paper();
        const QRectF sheet(10, 10, paper.Width * FZoom, paper.Height * FZoom);
        p.fillRect(sheet.translated(3, 3), Qt::black);
        p.fillRect(sheet, Qt::white);
        p.translate(10, 10);
        p.scale(FZoom, FZoom);
        p.setClipRect(QRect(0, 0, paper.Width, paper.Height));
        FPrint.PaintPage(p, FPage);
    }

private:
    const TProtocolPrint& FPrint;
    int FPage = 0;
    double FZoom = 0.3;
};

TfPreviewForm::TfPreviewForm(std::unique_ptr<TProtocolPrint> print, QWidget* parent)
    : QDialog(parent), FPrint(std::move(print)) {
    SetHelpContext(this, help::kPrintPreview);
    setObjectName(QStringLiteral("fPreviewForm"));
    setWindowTitle(Tr("Druckvorschau - Vaskel"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, const char* text, const char* hint) {
        auto* b = new QPushButton;
        b->setObjectName(QString::fromLatin1(name));
        SetDe(b, text, hint);
        bar->addWidget(b);
        return b;
    };
    FPrintButton = button("btPrint", "&Drucken", "Ausdruck starten");
    auto* zoomIn = button("btZoomIn", "Vergrößern", "Seite vergrößern");
    auto* zoomOut = button("btZoomOut", "Verkleinern", "Seite verkleinern");
    auto* whole = button("btWholePage", "Ganze Seite", "Ganze Seite anzeigen");
    auto* pdf = button("btSavePdf", "Als PDF speichern ...",
                       "Die Seiten als PDF-Datei speichern");
    auto* pageLabel = new QLabel;
    SetDe(pageLabel, "Seite:");
    bar->addWidget(pageLabel);
    FPageField = new QSpinBox;
    FPageField->setObjectName(QStringLiteral("edPage"));
    FPageField->setRange(1, FPrint->PageCount());
    bar->addWidget(FPageField);
    auto* count = new QLabel(QStringLiteral("/ %1").arg(FPrint->PageCount()));
    bar->addWidget(count);
    bar->addStretch();
    auto* cancel = button("btCancel", "&Abbrechen", "Ausdruck abbrechen");
    layout->addLayout(bar);

    FScroll = new QScrollArea;
    FScroll->setAlignment(Qt::AlignCenter);
    FScroll->setBackgroundRole(QPalette::Dark);
    FView = new TPageView(*FPrint, FScroll);
    FScroll->setWidget(FView);
    layout->addWidget(FScroll, 1);

    FTabs = new QTabBar;
    FTabs->setObjectName(QStringLiteral("PageTabs"));
    FTabs->setShape(QTabBar::RoundedSouth);
    FTabs->setUsesScrollButtons(true);
    FTabs->setExpanding(false);
    if (FPrint->PageCount() <= kMaxTabs)
        for (int k = 1; k <= FPrint->PageCount(); ++k) FTabs->addTab(QString::number(k));
    else
        FTabs->hide();
    layout->addWidget(FTabs);

    if (QPrinterInfo::availablePrinters().isEmpty()) {
        FPrintButton->setEnabled(false);
        FPrintButton->setToolTip(Tr("Kein Drucker eingerichtet"));
    }
    connect(FPrintButton, &QPushButton::clicked, this, [this] { PrintAsked(); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { ZoomIn(); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { ZoomOut(); });
    connect(whole, &QPushButton::clicked, this, [this] { WholePage(); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        QString name = FPrint->Job().Heading;
        if (name.endsWith(QLatin1String(".PRO.CSV"), Qt::CaseInsensitive)) name.chop(8);
        name += QStringLiteral(".pdf");
        // beside the protocols, not wherever the program was started
        const QString proposed = FPdfFolder.isEmpty() ? name : QDir(FPdfFolder).filePath(name);
        const QString file = AskPdfFile ? AskPdfFile(proposed)
                                        : QFileDialog::getSaveFileName(
                                              this, Tr("Als PDF speichern"), proposed,
                                              Tr("PDF-Dateien (*.pdf)"));
        if (!file.isEmpty()) SavePdf(file);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FTabs, &QTabBar::currentChanged, this, [this](int k) {
        if (k >= 0) ShowPage(k);
    });
    connect(FPageField, &QSpinBox::valueChanged, this, [this](int v) { ShowPage(v - 1); });
    resize(900, 760);
    ShowPage(0);
    WholePage();
}

TfPreviewForm::~TfPreviewForm() = default;

void TfPreviewForm::ShowPage(int page) {
    page = std::clamp(page, 0, FPrint->PageCount() - 1);
    FPage = page;
    if (FTabs->count() > page && FTabs->currentIndex() != page) FTabs->setCurrentIndex(page);
    if (FPageField->value() != page + 1) FPageField->setValue(page + 1);
    FView->Show(FPage, FZoom);
}

void TfPreviewForm::SetZoom(double zoom) {
    FZoom = std::clamp(zoom, 0.05, 2.0);
    FView->Show(FPage, FZoom);
}

void TfPreviewForm::ZoomIn() {
    FWhole = false;
    SetZoom(FZoom * 1.25);
}

void TfPreviewForm::ZoomOut() {
    FWhole = false;
    SetZoom(FZoom / 1.25);
}

void TfPreviewForm::WholePage() {
    FWhole = true;
    const QSize room = FScroll->viewport()->size() - QSize(24, 24);
    const TPrintPaper& paper = FPrint->Paper();
    SetZoom(std::min(room.width() / double(paper.Width), room.height() / double(paper.Height)));
}

void TfPreviewForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (FWhole) WholePage();
}

bool TfPreviewForm::SavePdf(const QString& fileName) {
    QProgressDialog progress(Tr("Die Seiten werden gespeichert ..."), Tr("Abbrechen"), 0,
                             FPrint->PageCount(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString error;
    const bool ok = WriteProtocolPdf(*FPrint, fileName, &error, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    // closing the progress dialog counts as cancelled: asked before
    const bool cancelled = progress.wasCanceled();
    progress.close();
    if (!ok && !cancelled)
        QMessageBox::warning(this, windowTitle(),
                             Tr("Die PDF-Datei konnte nicht geschrieben werden:") +
                                 QStringLiteral("\n") + fileName + QStringLiteral("\n") + error);
    return ok;
}

void TfPreviewForm::PrintAsked() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Tr("Vaskel 3 - Vaskelprotokoll"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(FPrint->Job().Landscape ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, FPrint->PageCount());
    dialog.setFromTo(1, FPrint->PageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted) return;
    std::vector<int> pages;
    switch (printer.printRange()) {
    case QPrinter::CurrentPage:
        pages.push_back(FPage);
        break;
    case QPrinter::PageRange:
        for (int k = std::max(1, printer.fromPage()); k <= std::min(printer.toPage(), FPrint->PageCount()); ++k)
            pages.push_back(k - 1);
        break;
    default:
        for (int k = 0; k < FPrint->PageCount(); ++k) pages.push_back(k);
    }
    QProgressDialog progress(Tr("Die Seiten werden gedruckt ..."), Tr("Abbrechen"), 0,
                             static_cast<int>(pages.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    FPrint->PrintPages(printer, pages, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
        if (progress.wasCanceled()) printer.abort();
        return !progress.wasCanceled();
    });
    accept();
}

QString PdfFolderFor(const QWidget* from) {
    for (const QWidget* w = from; w; w = w->parentWidget())
        if (const auto* child = dynamic_cast<const TfChildWindow*>(w))
            return FromFileName(child->Session().Env().DialogDirectory(TFileFolder::Protokolle));
    return {};
}

void PrintWithPreview(QWidget* parent, TPrintJob job) {
    TfPrintInfomation note(parent);
    if (note.exec() != QDialog::Accepted) return;
    job.Note = note.Note();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto print = std::make_unique<TProtocolPrint>(std::move(job));
    QApplication::restoreOverrideCursor();
    TfPreviewForm preview(std::move(print), parent);
    preview.SetPdfFolder(PdfFolderFor(parent));
    preview.exec();
}

} // namespace vaskel
