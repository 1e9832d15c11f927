#pragma once
// The printout's windows: the note dialog asked before printing, and the
// print preview (page tabs, zoom, whole page, printing all pages, the
// current one or a range, and saving the same pages as a PDF). The preview
// draws only the page it shows.

#include "print/ProtocolPrint.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabBar;

namespace vaskel {

// "Protokollnotiz": one line of at most 55 characters.
class TfPrintInfomation : public QDialog {
public:
    explicit TfPrintInfomation(QWidget* parent = nullptr);
    QLineEdit* edDescription = nullptr;
    // The note, trimmed.
    QString Note() const;
};

class TPageView;

class TfPreviewForm : public QDialog {
public:
    // Pages beyond this many are reached with the page field alone.
    static constexpr int kMaxTabs = 500;

    TfPreviewForm(std::unique_ptr<TProtocolPrint> print, QWidget* parent = nullptr);
    ~TfPreviewForm() override;

    const TProtocolPrint& Print() const { return *FPrint; }
    int CurrentPage() const { return FPage; }
    void ShowPage(int page);
    // Pixels per tenth of a millimetre.
    double Zoom() const { return FZoom; }
    void ZoomIn();
    void ZoomOut();
    void WholePage();
    // Writes the pages as a PDF, with progress and cancel; false when not
    // written (the message shown).
    bool SavePdf(const QString& fileName);
    // Prints through the printer dialog (all, current page, range).
    void PrintAsked();
    QTabBar* Tabs() const { return FTabs; }
    QPushButton* PrintButton() const { return FPrintButton; }
    // Where "Als PDF speichern ..." proposes its file (the protocols'
    // folder); empty: the working folder.
    void SetPdfFolder(const QString& folder) { FPdfFolder = folder; }
    const QString& PdfFolder() const { return FPdfFolder; }
    // Asks for the PDF file, the proposed one given (tests answer here;
    // unset: the save dialog). Empty: cancelled.
    std::function<QString(const QString& proposed)> AskPdfFile;

protected:
    // whole page follows the window's size
    void resizeEvent(QResizeEvent* e) override;

private:
    void SetZoom(double zoom);
    std::unique_ptr<TProtocolPrint> FPrint;
    TPageView* FView = nullptr;
    QScrollArea* FScroll = nullptr;
    QTabBar* FTabs = nullptr;
    QSpinBox* FPageField = nullptr;
    QPushButton* FPrintButton = nullptr;
    int FPage = 0;
    double FZoom = 0.3;
    bool FWhole = true;
    QString FPdfFolder;
};

// The protocols' folder of the settings, through the window the printout
// was asked from (empty when it belongs to no session).
QString PdfFolderFor(const QWidget* from);

// "Drucken ...": asks for the note, then shows the preview of job's pages
// (modal). The job's note is set from the dialog.
void PrintWithPreview(QWidget* parent, TPrintJob job);

} // namespace vaskel
