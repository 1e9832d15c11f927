#include "print/ProtocolPrint.h"

#include "platform/QtText.h"
#include "recording/Recorder.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace vaskel {

namespace {

// Tenths of a millimetre per point.
constexpr double kUnitsPerPoint = 254.0 / 72.0;

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kGrey(0x80, 0x80, 0x80);

// The maker's lines of the footer.
const char* const kMakerName = "Vaskel-Werkstattsoftware";
const char* const kMakerLines[3] = {"Prüfstand IBIS / VDV 300", "Fahrzeugbus und Zugbus",
                                    "Monitor und Simulator"};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QString Format(const char* pattern, const QString& a, const QString& b = QString()) {
    QString s = FromCp1252(pattern);
    const int p = s.indexOf(QLatin1String("%s"));
    if (p >= 0) s.replace(p, 2, a);
    const int q = s.indexOf(QLatin1String("%s"));
    if (q >= 0) s.replace(q, 2, b);
    const int d = s.indexOf(QLatin1String("%d"));
    if (d >= 0) s.replace(d, 2, a);
    return s;
}

// The program's emblem: a bus side with a data line, in a box w x h.
void PaintEmblem(QPainter& p, QRectF box) {
    p.save();
    p.setPen(QPen(Qt::black, 6));
    p.setBrush(Qt::NoBrush);
    const QRectF body(box.left(), box.top() + box.height() * 0.1, box.width(),
                      box.height() * 0.62);
    p.drawRoundedRect(body, 18, 18);
    const double win = body.width() / 6;
    for (int k = 0; k < 4; ++k)
        p.drawRect(QRectF(body.left() + win * (0.5 + 1.3 * k), body.top() + body.height() * 0.18,
                          win, body.height() * 0.38));
    const double wheel = box.height() * 0.2;
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(body.left() + body.width() * 0.22, body.bottom()), wheel / 2, wheel / 2);
    p.drawEllipse(QPointF(body.left() + body.width() * 0.78, body.bottom()), wheel / 2, wheel / 2);
    p.setPen(QPen(kGrey, 4, Qt::DashLine));
    p.drawLine(QPointF(box.left(), box.bottom()), QPointF(box.right(), box.bottom()));
    p.restore();
}

// Text drawn into a box, aligned as asked.
void Text(QPainter& p, const QRectF& box, int align, const QString& text) {
    p.drawText(box, align | Qt::TextSingleLine | Qt::TextDontClip, text);
}

// Text of one line drawn into a box, in a smaller font when it is wider
// than the box: nothing is cut off.
void FittedText(QPainter& p, const QRectF& box, int align, const QString& text) {
    const QFont font = p.font();
    const double wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide > box.width() && box.width() > 0 && font.pixelSize() > 1) {
        QFont smaller = font;
        smaller.setPixelSize(
            std::max(1, static_cast<int>(std::floor(font.pixelSize() * box.width() / wide))));
        p.setFont(smaller);
    }
    Text(p, box, align, text);
    p.setFont(font);
}

constexpr int kCellPad = kPrintCellPad;

// A text broken into the lines of a box room wide: at blanks, and inside a
// word only where the word alone is wider than the box.
QStringList WrappedLines(const QString& text, const QFont& font, double room) {
    if (text.isEmpty()) return {QString()};
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(room, 1.0));
        // the blank a line breaks at is not printed
        QString part = text.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && part.back().isSpace()) part.chop(1);
        lines << part;
    }
    layout.endLayout();
    if (lines.isEmpty()) lines << QString();
    return lines;
}

// The fonts of a telegram's segments: prefix underlined, address italic.
QFont TelegramFont(int style) {
    QFont f = PrintFont("Courier New", 8);
    f.setUnderline(style == 0);
    f.setItalic(style == 1);
    return f;
}

QColor TelegramColor(int style) {
    return style == 3 ? QColor(Qt::red) : style == 4 ? kGrey : style == 5 ? QColor(Qt::blue)
                                                                          : QColor(Qt::black);
}

TDateTime ToDateTime(const QDateTime& q) {
    TDateTime t;
    t.Year = q.date().year();
    t.Month = q.date().month();
    t.Day = q.date().day();
    t.Hour = q.time().hour();
    t.Minute = q.time().minute();
    t.Second = q.time().second();
    t.Millisecond = q.time().msec();
    return t;
}

} // namespace

std::optional<TDateTime> ProtocolFileTime(const QString& fileName) {
    if (auto t = ProtocolNameTime(ToCp1252(QFileInfo(fileName).fileName()))) return t;
    const QFileInfo info(fileName);
    if (!info.exists()) return std::nullopt;
    const QDateTime changed = info.lastModified();
    if (!changed.isValid()) return std::nullopt;
    return ToDateTime(changed);
}

std::vector<QString> GermanProtocolColumnTitles() {
    return {QString(),         Utf8("Nr."),          Utf8("Startzeit"), Utf8("Reaktion"),
            Utf8("Fehler"),    Utf8("Telegramm"),    Utf8("Telegramm (HEX)"),
            Utf8("DS-Nr."),    Utf8("Beschreibung"), Utf8("A?")};
}

QFont PrintFont(const char* face, double points, bool black) {
    const QString f = QString::fromLatin1(face);
    QFont font;
    // The layout's faces and the metric-compatible faces of this platform.
    if (f == QLatin1String("Courier New")) {
        font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("DejaVu Sans Mono")});
        font.setStyleHint(QFont::TypeWriter);
    } else {
        font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
        font.setStyleHint(QFont::SansSerif);
    }
    if (black) font.setWeight(QFont::Black);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kUnitsPerPoint))));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

TProtocolPrint::TProtocolPrint(TPrintJob job)
    : FJob(std::move(job)),
      FPaper(FJob.Landscape ? kA4Landscape : kA4Portrait),
      FPages(FPaper, static_cast<int>(FJob.Rows.size())) {
    const QFontMetricsF courier(PrintFont("Courier New", 8));
    std::vector<std::string> titles;
    for (const QString& t : FJob.Titles) titles.push_back(ToCp1252(t));
    std::vector<int> longest;
    FShares = PrintColumnShares(
        *FJob.Table, FJob.Rows, titles, FJob.ColumnShown, *FJob.Parser, FJob.Bus,
        [&](std::string_view text) {
            return static_cast<int>(std::ceil(courier.horizontalAdvance(FromCp1252(text))));
        },
        PrintUsableWidth(FPaper), &longest);
    FWidths = PrintColumnWidths(FPaper, FShares);
    FPeriod = PrintPeriodOf(*FJob.Table, FJob.Rows, FJob.Reference);
    // A column whose longest text is wider than its cells wraps; the rows
    // are measured only then, each distinct text once.
    std::vector<int> wrapping;
    for (std::size_t c = 0; c < FWidths.size() && c < longest.size(); ++c)
        if (FWidths[c] > 0 && PrintColumnWraps(static_cast<int>(c)) &&
            longest[c] + 2 * kCellPad > FWidths[c])
            wrapping.push_back(static_cast<int>(c));
    if (!wrapping.empty())
        FPages = TPrintPages(FPaper, static_cast<int>(FJob.Rows.size()), [&](int k) {
            return RowLines(FJob.Rows[static_cast<std::size_t>(k)], wrapping);
        });
    FLineCache = {};
    // the title font shrinks from 8 to 5 points until each title fits
    for (double size = 8; size >= 5; size -= 1) {
        FTitleFont = PrintFont("Arial", size, true);
        const QFontMetricsF m(FTitleFont);
        bool fits = true;
        for (std::size_t c = 0; c < FWidths.size() && c < FJob.Titles.size(); ++c)
            if (FWidths[c] > 0 && m.horizontalAdvance(FJob.Titles[c]) > FWidths[c]) fits = false;
        if (fits) break;
    }
}

void TProtocolPrint::PaintPage(QPainter& p, int page) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    PaintHeader(p, page);
    const int head = TPrintPages::HeadTop(page);
    PaintColumnHeader(p, head);
    int y = TPrintPages::BodyTop(page);
    const int first = FPages.FirstRow(page);
    const int count = FPages.RowsOn(page);
    p.setPen(QPen(Qt::black, 1));
    for (int k = 0; k < count; ++k) {
        const int height = FPages.RowHeightOf(first + k);
        PaintRow(p, FJob.Rows[static_cast<std::size_t>(first + k)], y, height);
        y += height;
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(kPrintMargin, y, FPaper.Width - kPrintMargin, y);
    }
    PaintColumnLines(p, head, y);
    PaintFooter(p, page);
    p.restore();
}

void TProtocolPrint::PaintHeader(QPainter& p, int page) const {
    const int w = FPaper.Width;
    const int h = FPaper.Height;
    p.setPen(QPen(Qt::black, 1));
    // fold mark
    if (!FJob.Landscape)
        p.drawLine(0, h / 2, 70, h / 2);
    else
        p.drawLine(w / 2, 0, w / 2, 40);
    PaintEmblem(p, QRectF(100, 80, 520, 160));
    p.setFont(PrintFont("Arial", 16, true));
    Text(p, QRectF(700, 200 - 100, 1000, 100), Qt::AlignLeft | Qt::AlignBottom,
         QStringLiteral("Vaskel"));
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(100, 260, w - 100, 260);
    p.setPen(QPen(Qt::black, 1));
    p.setFont(PrintFont("Arial", 10));
    const QString title = page == 0 ? FJob.Heading : Format(kPrintFollowing, FJob.Heading);
    Text(p, QRectF(100, 270, w - 200, 50), Qt::AlignLeft | Qt::AlignTop, title);
    Text(p, QRectF(100, 270, w - 200, 50), Qt::AlignRight | Qt::AlignTop,
         Format(kPrintPeriod, FromCp1252(FPeriod.First), FromCp1252(FPeriod.Last)));
    p.drawLine(100, 320, w - 100, 320);
    Text(p, QRectF(100, 330, w - 200, 50), Qt::AlignLeft | Qt::AlignTop, FJob.Note);
    p.drawLine(100, 380, w - 100, 380);
}

void TProtocolPrint::PaintColumnHeader(QPainter& p, int y0) const {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kSilver);
    p.drawRect(QRectF(100, y0, FPaper.Width - 98 - 100, 80));
    p.setBrush(Qt::NoBrush);
    p.setFont(FTitleFont);
    int x = 120;
    for (std::size_t c = 0; c < FWidths.size(); ++c) {
        if (FWidths[c] > 0 && c < FJob.Titles.size())
            FittedText(p, QRectF(x, y0, FWidths[c], 60), Qt::AlignHCenter | Qt::AlignBottom,
                       FJob.Titles[c]);
        x += FWidths[c];
    }
}

std::vector<TProtocolPrint::TTelegramLine> TProtocolPrint::TelegramLines(int row,
                                                                         double room) const {
    const TPrintTelegram t = PrintTelegramText(*FJob.Table, row, *FJob.Parser, FJob.Bus);
    const std::string* parts[6] = {&t.Prefix, &t.Address, &t.Data, &t.Rest, &t.CR, &t.Check};
    std::vector<TTelegramLine> lines(1);
    double x = 0;
    for (int style = 0; style < 6; ++style) {
        if (parts[style]->empty()) continue;
        const QFontMetricsF m(TelegramFont(style));
        for (const QChar ch : FromCp1252(*parts[style])) {
            const double advance = m.horizontalAdvance(ch);
            // a telegram breaks between any two characters
            if (x > 0 && x + advance > room) {
                lines.emplace_back();
                x = 0;
            }
            TTelegramLine& line = lines.back();
            if (line.empty() || line.back().Style != style) line.push_back({QString(), style});
            line.back().Text += ch;
            x += advance;
        }
    }
    return lines;
}

QStringList TProtocolPrint::CellLines(int row, int col) const {
    const int w = col >= 0 && col < static_cast<int>(FWidths.size())
                      ? FWidths[static_cast<std::size_t>(col)]
                      : 0;
    const double room = w - 2 * kCellPad;
    const std::string_view raw = FJob.Table->Cell(col, row);
    switch (col) {
    case pcTelegram: {
        QStringList lines;
        for (const TTelegramLine& line : TelegramLines(row, room)) {
            QString text;
            for (const TPiece& piece : line) text += piece.Text;
            lines << text;
        }
        return lines;
    }
    case pcHex:
        return WrappedLines(FromCp1252(raw), PrintFont("Arial", 8), room);
    case pcDescription:
        return WrappedLines(FromCp1252(TelegramToDisplay(raw)), PrintFont("Arial", 8), room);
    case pcStart: {
        const int32_t ms = StrToIntDef(raw, 0);
        return {FromCp1252(ms < 1 ? std::string(kReactionInvalid) : MsToTimeText(ms))};
    }
    case pcReaction:
        return {FromCp1252(PrintReactionText(*FJob.Table, row))};
    case pcErrors:
    case pcRecordNo:
        return {FromCp1252(TelegramToDisplay(raw))};
    default:
        return {FromCp1252(raw)};
    }
}

int TProtocolPrint::RowLines(int row, const std::vector<int>& wrapping) const {
    int lines = 1;
    for (int c : wrapping) {
        // each distinct text once (recordings repeat them a lot)
        std::string key(1, static_cast<char>('0' + c));
        if (c == pcTelegram) {
            const std::string_view kind = TrimBlanks(FJob.Table->Cell(pcKind, row));
            if (kind.empty()) continue;
            key += IsMasterKind(kind) ? 'M' : 'S';
        }
        key += FJob.Table->Cell(c, row);
        auto it = FLineCache.find(key);
        if (it == FLineCache.end()) {
            if (FLineCache.size() > 200000) FLineCache.clear();
            it = FLineCache.emplace(std::move(key), static_cast<int>(CellLines(row, c).size()))
                     .first;
        }
        lines = std::max(lines, it->second);
    }
    return lines;
}

void TProtocolPrint::PaintRow(QPainter& p, int row, int y, int height) const {
    const TTable& t = *FJob.Table;
    const QFont body = PrintFont("Arial", 6);
    const QFont body8 = PrintFont("Arial", 8);
    int x = kPrintCellLeft;
    for (int c = 0; c < static_cast<int>(FWidths.size()); ++c) {
        const int w = FWidths[static_cast<std::size_t>(c)];
        if (w <= 0) continue;
        // the first line's box; a wrapped cell's further lines follow below
        const QRectF cell(x, y, w, 35);
        p.save();
        p.setPen(Qt::black);
        p.setFont(body);
        const std::string_view raw = t.Cell(c, row);
        switch (c) {
        case pcKind: {
            const std::string_view kind = TrimBlanks(raw);
            QColor fill = Qt::white;
            QString letter = QStringLiteral("?");
            QColor ink = Qt::black;
            if (!kind.empty()) {
                switch (kind[0]) {
                case 'M': fill = kGrey; letter = QStringLiteral("M"); ink = Qt::white; break;
                case 'N': fill = QColor(0xA0, 0xA0, 0xA4); letter = QStringLiteral("M"); break;
                case 'S': fill = kSilver; letter = QStringLiteral("S"); break;
                case 'T': letter = QStringLiteral("S"); break;
                default: letter = FromCp1252(kind.substr(0, 1)); break;
                }
            }
            // filled to the column line, the whole row high
            const QRectF box(100, y, x + w + 20 - 100 - 10, height);
            p.fillRect(box, fill);
            p.setPen(ink);
            Text(p, QRectF(box.left(), y, box.width(), 35), Qt::AlignHCenter | Qt::AlignBottom,
                 letter);
            x += 10;
            break;
        }
        case pcNr:
        case pcStart:
        case pcReaction:
            // the reaction in milliseconds, as the protocol window shows it
            FittedText(p, cell.adjusted(0, 0, -kCellPad, 0), Qt::AlignRight | Qt::AlignBottom,
                       CellLines(row, c).value(0));
            break;
        case pcErrors:
        case pcRecordNo:
            FittedText(p, cell, Qt::AlignHCenter | Qt::AlignBottom, CellLines(row, c).value(0));
            break;
        case pcTelegram: {
            p.setClipRect(QRectF(x, y, w, height));
            const std::vector<TTelegramLine> lines = TelegramLines(row, w - 2 * kCellPad);
            for (std::size_t k = 0; k < lines.size(); ++k) {
                double tx = x + kCellPad;
                const double ty = y + static_cast<double>(k) * kPrintLineStep;
                for (const TPiece& piece : lines[k]) {
                    const QFont f = TelegramFont(piece.Style);
                    p.setFont(f);
                    p.setPen(TelegramColor(piece.Style));
                    p.drawText(QRectF(tx, ty, 100000, 35),
                               Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, piece.Text);
                    tx += QFontMetricsF(f).horizontalAdvance(piece.Text);
                }
            }
            break;
        }
        case pcHex:
        case pcDescription: {
            p.setClipRect(QRectF(x, y, w, height));
            p.setFont(body8);
            const QStringList lines = CellLines(row, c);
            for (int k = 0; k < lines.size(); ++k)
                Text(p, QRectF(x + kCellPad, y + k * kPrintLineStep, w - kCellPad, 35),
                     Qt::AlignLeft | Qt::AlignBottom, lines[k]);
            break;
        }
        case pcAnswer: {
            // the answer status as the protocol window shows it
            const std::string_view v = TrimBlanks(raw);
            if (v.empty()) break;
            static const struct {
                const char* Value;
                const char* Mark;
                QColor Color;
            } marks[] = {{"-1", "?", QColor(0xC0, 0x60, 0x00)}, {"0", "✓", QColor(0x00, 0x90, 0x00)},
                         {"1", "✓", QColor(0x90, 0x90, 0x00)},  {"2", "✗", QColor(0xD0, 0x00, 0x00)},
                         {"3", "↑", QColor(0x90, 0x90, 0x00)},  {"4", "↑", QColor(0x00, 0x90, 0x00)}};
            const char* mark = "✓";
            QColor color(0x00, 0x90, 0x00);
            for (const auto& m : marks)
                if (v == m.Value) {
                    mark = m.Mark;
                    color = m.Color;
                }
            p.setFont(PrintFont("Arial", 10, true));
            p.setPen(color);
            Text(p, QRectF(x, y, w, 38), Qt::AlignHCenter | Qt::AlignBottom, Utf8(mark));
            break;
        }
        default:
            FittedText(p, cell.adjusted(kCellPad, 0, 0, 0), Qt::AlignLeft | Qt::AlignBottom,
                       CellLines(row, c).value(0));
        }
        p.restore();
        x += w;
    }
}

void TProtocolPrint::PaintColumnLines(QPainter& p, int top, int bottom) const {
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(100, top, 100, bottom);
    int x = 120;
    std::vector<int> shown;
    for (std::size_t c = 0; c < FWidths.size(); ++c)
        if (FWidths[c] > 0) shown.push_back(static_cast<int>(c));
    for (std::size_t k = 0; k + 1 < shown.size(); ++k) {
        x += FWidths[static_cast<std::size_t>(shown[k])];
        p.drawLine(x, top, x, bottom);
    }
    p.drawLine(FPaper.Width - 100, top, FPaper.Width - 100, bottom);
}

void TProtocolPrint::PaintFooter(QPainter& p, int page) const {
    const int w = FPaper.Width;
    const int h = FPaper.Height;
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(100, h - 260, w - 100, h - 260);
    p.setPen(QPen(Qt::black, 1));
    const QRectF right(w - 700, 0, 600, 60);
    p.setFont(PrintFont("Arial", 10, true));
    Text(p, right.translated(0, h - 230), Qt::AlignRight | Qt::AlignTop, Utf8(kMakerName));
    p.setFont(PrintFont("Arial", 10));
    const int lines[3] = {h - 180, h - 140, h - 100};
    for (int k = 0; k < 3; ++k)
        Text(p, right.translated(0, lines[k]), Qt::AlignRight | Qt::AlignTop, Utf8(kMakerLines[k]));
    PaintEmblem(p, QRectF(w - 900, h - 220, 160, 100));
    const QRectF left(100, 0, 900, 60);
    p.setFont(PrintFont("Arial", 10, true));
    Text(p, left.translated(0, h - 230), Qt::AlignLeft | Qt::AlignTop,
         Format(kPrintVersion, FJob.Version));
    p.setFont(PrintFont("Arial", 10));
    Text(p, left.translated(0, h - 180), Qt::AlignLeft | Qt::AlignTop,
         Format(kPrintDate, FJob.PrintedAt));
    Text(p, left.translated(0, h - 100), Qt::AlignLeft | Qt::AlignTop,
         Format(kPrintPage, QString::number(page + 1)));
}

QImage TProtocolPrint::RenderPage(int page, double dpi) const {
    const double scale = dpi / 254.0;
    QImage image(static_cast<int>(std::lround(FPaper.Width * scale)),
                 static_cast<int>(std::lround(FPaper.Height * scale)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    PaintPage(p, page);
    return image;
}

bool TProtocolPrint::PrintPages(QPagedPaintDevice& device, const std::vector<int>& pages,
                                const std::function<bool(int, int)>& progress) const {
    QPainter p;
    if (!p.begin(&device)) return false;
    const int total = static_cast<int>(pages.size());
    bool ok = true;
    for (int k = 0; k < total; ++k) {
        if (progress && !progress(k, total)) {
            ok = false;
            break;
        }
        // a page the device cannot start is left out; drawing goes on
        if (k > 0) device.newPage();
        p.save();
        const QPageLayout layout = device.pageLayout();
        const int res = device.logicalDpiX();
        const QRect full = layout.fullRectPixels(res);
        const QRect paint = layout.paintRectPixels(res);
        p.translate(full.left() - paint.left(), full.top() - paint.top());
        p.scale(res / 254.0, device.logicalDpiY() / 254.0);
        PaintPage(p, pages[static_cast<std::size_t>(k)]);
        p.restore();
    }
    if (ok && progress) progress(total, total);
    return p.end() && ok;
}

bool WriteProtocolPdf(const TProtocolPrint& print, const QString& fileName, QString* error,
                      const std::function<bool(int, int)>& progress,
                      const std::vector<int>& pages) {
    std::vector<int> all = pages;
    if (all.empty())
        for (int k = 0; k < print.PageCount(); ++k) all.push_back(k);
    bool ok = false;
    bool stopped = false;
    const auto watch = [&](int done, int total) {
        if (progress && !progress(done, total)) stopped = true;
        return !stopped;
    };
    // Written under a temporary name beside the target: the previous file
    // stays until the new one is complete (QPdfWriter does not report a
    // failed write, the file does).
    const std::string target = QFile::encodeName(fileName).toStdString();
    const QString temporary = QFile::decodeName(TemporaryFileFor(target).c_str());
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(print.Job().Heading);
        writer.setCreator(QStringLiteral("Vaskel %1").arg(print.Job().Version));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(print.Job().Landscape ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        ok = print.PrintPages(writer, all, watch);
    }
    bool flushed = file.error() == QFileDevice::NoError;
    if (file.isOpen()) flushed = file.flush() && flushed && file.error() == QFileDevice::NoError;
    const QString why = file.errorString();
    file.close();
    // a complete PDF ends with its end-of-file mark
    bool complete = false;
    if (ok && flushed && file.open(QIODevice::ReadOnly) && file.size() > 5) {
        file.seek(std::max<qint64>(0, file.size() - 32));
        complete = file.readAll().contains("%%EOF");
        file.close();
    }
    if (!ok || !flushed || !complete) {
        if (error)
            *error = stopped ? QStringLiteral("stopped; nothing was written")
                             : QStringLiteral("cannot write %1: %2")
                                   .arg(fileName, !flushed ? why
                                                           : QStringLiteral("the file is incomplete"));
        QFile::remove(temporary);
        return false;
    }
    try {
        CommitTemporaryFile(QFile::encodeName(temporary).toStdString(), target);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    return true;
}

} // namespace vaskel
