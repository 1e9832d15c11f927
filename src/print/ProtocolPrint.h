#pragma once
// Draws the printed protocol: header, column header, rows, column lines and
// footer of one page at a time, onto any paint device (printer, PDF, image).
// Pages are laid out on demand: the page count and the rows of a page come
// from the layout numbers, so only the pages asked for are ever drawn.

#include "recording/PrintLayout.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <QFont>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;
class QImage;
class QPagedPaintDevice;

namespace vaskel {

// What to print.
struct TPrintJob {
    const TTable* Table = nullptr;
    const TIBISTelegramParser* Parser = nullptr;
    TBusType Bus = TBusType::bsVehicleBus;
    QString Heading;                // the protocol's file name, or the live monitor's title
    QString Note;                   // the one-line note (trimmed, at most 55 characters)
    std::vector<int> Rows;          // the printed data rows, top to bottom (PrintRows)
    std::vector<bool> ColumnShown;  // per column; missing entries count as shown
    std::vector<QString> Titles;    // the column titles
    bool Landscape = false;
    QString Version;                // the program's version
    QString PrintedAt;              // "dd.mm.yyyy hh:nn:ss"
    // A moment at or after the last row was recorded (the protocol's save,
    // now for the live recording): the period's dates are reckoned from it
    // (PrintPeriodOf). None: the period has times only.
    std::optional<TDateTime> Reference;
};

// When a protocol file was written, as far as can be told: the moment its
// name carries (ProtocolNameTime), else the file's last change; none when
// neither is known.
std::optional<TDateTime> ProtocolFileTime(const QString& fileName);

// The German column titles of the protocol table (as the window shows them
// before translation).
std::vector<QString> GermanProtocolColumnTitles();

// The fonts the printout uses, in tenths of a millimetre (pixel sizes in page
// units): the faces of the layout with their metric-compatible stand-ins.
QFont PrintFont(const char* face, double points, bool black = false);

class TProtocolPrint {
public:
    explicit TProtocolPrint(TPrintJob job);

    const TPrintPaper& Paper() const { return FPaper; }
    int PageCount() const { return FPages.PageCount(); }
    const TPrintPages& Pages() const { return FPages; }
    const std::vector<int>& Shares() const { return FShares; }
    const std::vector<int>& Widths() const { return FWidths; }
    const TPrintPeriod& Period() const { return FPeriod; }
    const TPrintJob& Job() const { return FJob; }

    // Draws page (0-based); the painter's coordinates are tenths of a
    // millimetre from the paper's top left corner.
    void PaintPage(QPainter& p, int page) const;

    // The page as a picture of dpi dots per inch (preview, screenshots).
    QImage RenderPage(int page, double dpi) const;

    // Prints the pages (0-based, ascending) on a paged device (printer or
    // PDF writer) whose page size and orientation are already set. progress
    // gets (pages done, pages in all) and stops the run by returning false.
    // Returns false when stopped or when the device refused a page.
    bool PrintPages(QPagedPaintDevice& device, const std::vector<int>& pages,
                    const std::function<bool(int, int)>& progress = nullptr) const;

    // A cell's text on its lines, as they are drawn (one line unless the
    // column wraps and the text is wider than the cell).
    QStringList CellLines(int row, int col) const;

private:
    // One run of a telegram line in one of the segments' styles.
    struct TPiece {
        QString Text;
        int Style; // 0 prefix, 1 address, 2 data, 3 rest, 4 CR, 5 check byte
    };
    using TTelegramLine = std::vector<TPiece>;
    std::vector<TTelegramLine> TelegramLines(int row, double room) const;
    // The lines of a row: the most any of its wrapping cells takes.
    int RowLines(int row, const std::vector<int>& wrapping) const;
    void PaintHeader(QPainter& p, int page) const;
    void PaintColumnHeader(QPainter& p, int y0) const;
    void PaintRow(QPainter& p, int row, int y, int height) const;
    void PaintColumnLines(QPainter& p, int top, int bottom) const;
    void PaintFooter(QPainter& p, int page) const;

    TPrintJob FJob;
    TPrintPaper FPaper;
    TPrintPages FPages;
    std::vector<int> FShares;
    std::vector<int> FWidths;
    TPrintPeriod FPeriod;
    QFont FTitleFont; // the column titles' font, shrunk until every title fits
    // lines of the distinct texts of wrapping columns, while the pages are laid out
    mutable std::unordered_map<std::string, int> FLineCache;
};

// Writes every page of the printout as a PDF: under a temporary name beside
// the target, checked complete and then renamed over it, so a failure (full
// disk, read-only folder) or a stopped run (progress returned false) leaves
// the previous file as it was. error gets the reason (naming the file) on
// failure.
bool WriteProtocolPdf(const TProtocolPrint& print, const QString& fileName, QString* error,
                      const std::function<bool(int, int)>& progress = nullptr,
                      const std::vector<int>& pages = {});

} // namespace vaskel
