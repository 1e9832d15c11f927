#include "ui/protocol/StatisticsForm.h"

#include "platform/QtFiles.h"
#include "platform/QtText.h"
#include "recording/Recorder.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"
#include "ui/common/WindowArea.h"
#include "ui/protocol/BaseProtocolForm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QBuffer>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QLocale>
#include <QtMath>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <optional>

namespace vaskel {

namespace {

enum { kTypesTab = 0, kReactionTab = 1, kTimelineTab = 2 };

QTableWidget* NewTable(const QStringList& titles) {
    auto* t = new QTableWidget(0, static_cast<int>(titles.size()));
    t->setHorizontalHeaderLabels(titles);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

// A cell that holds its text already is left alone: a changed cell makes
// the view repaint it.
void SetCell(QTableWidget* t, int row, int col, const QString& text, bool number = true) {
    if (QTableWidgetItem* item = t->item(row, col)) {
        if (item->text() != text) item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setItem(row, col, item);
}

// While a table is filled its columns keep their widths; they fit their
// contents again once it is full. (A column that fits its contents measures
// every row of it whenever one of its cells changes: a refresh of a table
// of n rows would measure n * n cells.)
class TFilling {
public:
    explicit TFilling(QTableWidget* t) : FHeader(t->horizontalHeader()) {
        FHeader->setSectionResizeMode(QHeaderView::Fixed);
    }
    ~TFilling() { FHeader->setSectionResizeMode(QHeaderView::ResizeToContents); }
    TFilling(const TFilling&) = delete;
    TFilling& operator=(const TFilling&) = delete;

private:
    QHeaderView* FHeader;
};

QString Num(uint64_t v) { return QString::number(v); }

// A chart with its legend below and a small margin.
QChart* NewChart() {
    auto* c = new QChart;
    c->legend()->setAlignment(Qt::AlignBottom);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->setAnimationOptions(QChart::NoAnimation);
    return c;
}

// An axis of counts: whole numbers only, from 0 to at least max.
void CountAxis(QValueAxis* y, double max) {
    const int top = std::max(1, static_cast<int>(std::ceil(max)));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, top);
    if (top <= 10)
        y->setTickCount(top + 1);
    else
        y->applyNiceNumbers();
}

// A number with one decimal in the active language's manner.
QString Decimal(double v) {
    return QLocale(UiLanguage() == 1 ? QLocale::German : QLocale::English).toString(v, 'f', 1);
}

// The name of a record type on the chart and in the table: the protocol's
// "[]" (no record type found) and an empty cell say so in words.
QString RecordTypeName(const std::string& no) {
    if (no.empty()) return QStringLiteral("-");
    if (no == "[]") return Tr("unbekannt");
    return FromCp1252(no);
}

// The least share of the highest bar a bar of one or more telegrams gets on
// the chart, so that a single faulty telegram among thousands can be seen
// (the table gives the counts).
constexpr double kLeastVisibleBar = 0.02;

// A bucket's start as a point on a time axis (a day of its own).
qreal TimePoint(int64_t ms) {
    return static_cast<qreal>(
        QDateTime(QDate(2000, 1, 1), QTime(0, 0)).addMSecs(ms).toMSecsSinceEpoch());
}

QHash<QObject*, QPointer<TfStatisticsForm>>& OpenWindows() {
    static QHash<QObject*, QPointer<TfStatisticsForm>> windows;
    return windows;
}

} // namespace

TfStatisticsForm::TfStatisticsForm(TSession& session, TfBaseProtocolForm* protocol, bool live,
                                   QWidget* parent)
    : TfChildWindow(session, parent), FProtocol(protocol), FLive(live) {
    SetHelpContext(this, help::kStatistics);
    SetCaption(Tr("Statistik") + " - " + (protocol ? protocol->Caption() : QString()));
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    FSummary = new QLabel;
    main->addWidget(FSummary);
    FTabs = new QTabWidget;
    main->addWidget(FTabs, 1);

    const QStringList typeTitles = {Tr("DS-Nr."), Tr("Anzahl"), Tr("mit Fehlern"), "F", "P",
                                    "S",          "A",          "T",                "X"};
    const QStringList addressTitles = {Tr("Adresse"),    Tr("Anfragen"), Tr("Antworten"),
                                       Tr("unbeantwortet"), Tr("ungültig"),
                                       Tr("Minimum (ms)"), Tr("Median (ms)"), Tr("95 % (ms)"),
                                       Tr("Maximum (ms)")};
    const QStringList timeTitles = {Tr("Beginn"), Tr("Telegramme"), Tr("Zeichen/s"),
                                    Tr("Buslast (%)"), Tr("Fehler")};
    const QString tabNames[3] = {Tr("Datensätze"), Tr("Reaktionszeiten"), Tr("Verlauf")};
    const QStringList* titles[3] = {&typeTitles, &addressTitles, &timeTitles};
    for (int tab = 0; tab < 3; ++tab) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        if (tab == kReactionTab) {
            auto* row = new QHBoxLayout;
            row->addWidget(new QLabel(Tr("Adresse:")));
            FAddress = new QComboBox;
            FAddress->setObjectName(QStringLiteral("cbAddress"));
            row->addWidget(FAddress);
            row->addStretch(1);
            layout->addLayout(row);
            connect(FAddress, &QComboBox::currentIndexChanged, this, [this] { FillReaction(); });
        }
        auto* split = new QSplitter(Qt::Vertical);
        FCharts[tab] = new QChartView(NewChart());
        FCharts[tab]->setRenderHint(QPainter::Antialiasing);
        FCharts[tab]->setMinimumHeight(160);
        FTables[tab] = NewTable(*titles[tab]);
        split->addWidget(FCharts[tab]);
        split->addWidget(FTables[tab]);
        split->setStretchFactor(0, 3);
        split->setStretchFactor(1, 2);
        layout->addWidget(split, 1);
        FTabs->addTab(page, tabNames[tab]);
        connect(FTables[tab], &QTableWidget::cellDoubleClicked, this, [this, tab](int row, int) {
            if (tab == kTypesTab) GoToRow(RecordTypeRow(row, false));
            if (tab == kReactionTab) GoToRow(AddressRow(row));
            if (tab == kTimelineTab) GoToRow(BucketRow(row));
        });
    }

    auto* buttons = new QHBoxLayout;
    auto* refresh = new QPushButton(Tr("Aktualisieren"));
    refresh->setObjectName(QStringLiteral("btnRefresh"));
    auto* png = new QPushButton(Tr("Diagramm speichern ..."));
    png->setObjectName(QStringLiteral("btnExportChart"));
    png->setToolTip(Tr("Speichert das Diagramm der Seite als PNG- oder SVG-Datei"));
    auto* csv = new QPushButton(Tr("Tabelle speichern ..."));
    csv->setObjectName(QStringLiteral("btnExportTable"));
    csv->setToolTip(Tr("Speichert die Tabelle der Seite als CSV-Datei"));
    auto* close = new QPushButton(Tr("Schließen"));
    buttons->addWidget(refresh);
    buttons->addStretch(1);
    buttons->addWidget(png);
    buttons->addWidget(csv);
    buttons->addWidget(close);
    main->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, this, [this] {
        FNextRow = 0;
        FFigures.Clear();
        Refresh();
    });
    connect(png, &QPushButton::clicked, this, [this] { AskExport(true); });
    connect(csv, &QPushButton::clicked, this, [this] { AskExport(false); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(); });

    if (FProtocol) FProtocol->PrepareFigures();
    Refresh();
    if (FLive) {
        // new rows change the figures at most once a second
        FTimer = new QTimer(this);
        FTimer->setInterval(1000);
        connect(FTimer, &QTimer::timeout, this, [this] { Refresh(); });
        FTimer->start();
    }
    if (FProtocol) connect(FProtocol, &QObject::destroyed, this, [this] { CloseWindow(); });
    resize(760, 560);
}

void TfStatisticsForm::Refresh() {
    if (!FProtocol) return;
    const TTable& table = FProtocol->ShownTable();
    int rows = table.RowCount();
    if (FLive) {
        rows = Session().Recorder().RowCounter();
        if (rows < FNextRow) { // a new recording
            FFigures.Clear();
            FNextRow = 0;
        }
        if (rows == FNextRow && FNextRow > 0) return;
        FFigures.AddRows(table, FNextRow, rows);
        FNextRow = rows;
    } else {
        FFigures.Compute(table);
    }
    Fill();
}

QTableWidget* TfStatisticsForm::Table(int tab) const { return FTables[tab]; }
QChartView* TfStatisticsForm::ChartView(int tab) const { return FCharts[tab]; }

int TfStatisticsForm::RecordTypeRow(int index, bool errors) const {
    if (index < 0 || index >= static_cast<int>(FTypes.size())) return -1;
    const auto it = FFigures.RecordTypes().find(FTypes[static_cast<std::size_t>(index)]);
    if (it == FFigures.RecordTypes().end()) return -1;
    return errors ? it->second.FirstErrorRow : it->second.FirstRow;
}

int TfStatisticsForm::AddressRow(int index) const {
    if (index < 0 || index >= static_cast<int>(FAddressList.size())) return -1;
    return FFigures.Addresses().at(FAddressList[static_cast<std::size_t>(index)]).FirstRow;
}

int TfStatisticsForm::ReactionBarRow(int bar) const {
    if (bar < 0 || bar >= static_cast<int>(FReactionBars.size())) return -1;
    return FReactionBars[static_cast<std::size_t>(bar)].FirstRow;
}

int TfStatisticsForm::BucketRow(int index) const {
    if (index < 0 || index >= static_cast<int>(FBuckets.size())) return -1;
    return FBuckets[static_cast<std::size_t>(index)].FirstRow;
}

void TfStatisticsForm::GoToRow(int row) {
    if (row < 0 || !FProtocol) return;
    FProtocol->GoToRow(row);
}

void TfStatisticsForm::Fill() {
    const TProtocolStatistics& f = FFigures;
    const double seconds =
        f.FirstMs() >= 0 ? static_cast<double>(f.LastMs() - f.FirstMs()) / 1000.0 + 1.0 : 0.0;
    uint64_t chars = 0;
    for (const auto& [s, fig] : f.Seconds()) chars += fig.Chars;
    FSummary->setText(
        Tr("Zeilen: %1, Mastertelegramme: %2, Slavetelegramme: %3, Antworten ohne Anfrage: %4; "
           "mittlere Buslast: %5 %")
            .arg(f.Rows())
            .arg(f.MasterRows())
            .arg(f.SlaveRows())
            .arg(f.UnpairedAnswers())
            .arg(Decimal(seconds > 0 ? 100.0 * static_cast<double>(chars) / seconds / kBusCharsPerSecond
                                : 0.0)));

    // record types: bars of the rows without and with errors, stacked
    FTypes.clear();
    QTableWidget* t = FTables[kTypesTab];
    std::optional<TFilling> filling(t);
    t->setRowCount(static_cast<int>(f.RecordTypes().size()));
    auto* clean = new QBarSet(Tr("fehlerfrei"));
    auto* faulty = new QBarSet(Tr("mit Fehlern"));
    clean->setColor(QColor(0x4C, 0x8B, 0xC9));
    faulty->setColor(QColor(0xD9, 0x48, 0x3B));
    QStringList categories;
    int row = 0;
    double highest = 0;
    for (const auto& [no, fig] : f.RecordTypes()) highest = std::max(highest, static_cast<double>(fig.Count));
    const double least = highest * kLeastVisibleBar;
    for (const auto& [no, fig] : f.RecordTypes()) {
        FTypes.push_back(no);
        const QString name = RecordTypeName(no);
        categories << name;
        // a bar of one telegram, and one faulty telegram in a bar, always
        // shows; a bar keeps its height where that is no smaller
        const double count = static_cast<double>(fig.Count);
        const double shown = count > 0 ? std::max(count, least) : 0.0;
        double bad = static_cast<double>(fig.RowsWithErrors);
        if (bad > 0) bad = std::min(shown, std::max(bad, least));
        *clean << shown - bad;
        *faulty << bad;
        SetCell(t, row, 0, name, false);
        SetCell(t, row, 1, Num(fig.Count));
        SetCell(t, row, 2, Num(fig.RowsWithErrors));
        for (int k = 0; k < 6; ++k) SetCell(t, row, 3 + k, Num(fig.Errors[static_cast<std::size_t>(k)]));
        ++row;
    }
    {
        QChart* c = NewChart();
        c->setTitle(Tr("Telegramme je Datensatz"));
        auto* series = new QStackedBarSeries;
        series->append(clean);
        series->append(faulty);
        c->addSeries(series);
        auto* x = new QBarCategoryAxis;
        x->append(categories);
        x->setLabelsAngle(categories.size() > 12 ? -90 : 0);
        auto* y = new QValueAxis;
        double most = 0;
        for (const auto& [no, fig] : f.RecordTypes()) most = std::max(most, static_cast<double>(fig.Count));
        c->addAxis(x, Qt::AlignBottom);
        c->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        CountAxis(y, most);
        connect(series, &QStackedBarSeries::clicked, this,
                [this, faulty](int index, QBarSet* set) { GoToRow(RecordTypeRow(index, set == faulty)); });
        QChart* old = FCharts[kTypesTab]->chart();
        FCharts[kTypesTab]->setChart(c);
        delete old;
    }

    // addresses
    const QString keep = FAddress->currentText();
    FAddressList.clear();
    t = FTables[kReactionTab];
    filling.emplace(t);
    t->setRowCount(static_cast<int>(f.Addresses().size()));
    row = 0;
    FAddress->blockSignals(true);
    FAddress->clear();
    for (const auto& [address, a] : f.Addresses()) {
        FAddressList.push_back(address);
        FAddress->addItem(QString::number(address));
        const bool any = a.Reaction.Count() > 0;
        SetCell(t, row, 0, QString::number(address));
        SetCell(t, row, 1, Num(a.Requests));
        SetCell(t, row, 2, Num(a.Answers));
        SetCell(t, row, 3, Num(a.Unanswered()));
        SetCell(t, row, 4, Num(a.Invalid));
        SetCell(t, row, 5, any ? QString::number(a.Reaction.Min()) : QString());
        SetCell(t, row, 6, any ? QString::number(a.Reaction.Percentile(50)) : QString());
        SetCell(t, row, 7, any ? QString::number(a.Reaction.Percentile(95)) : QString());
        SetCell(t, row, 8, any ? QString::number(a.Reaction.Max()) : QString());
        ++row;
    }
    // the address chosen before, else the first one with reaction times
    int at = FAddress->findText(keep);
    for (std::size_t k = 0; at < 0 && k < FAddressList.size(); ++k)
        if (f.Addresses().at(FAddressList[k]).Reaction.Count() > 0) at = static_cast<int>(k);
    FAddress->setCurrentIndex(at >= 0 ? at : 0);
    FAddress->blockSignals(false);
    FillReaction();

    // the timeline: load as bars, errors as a line on an axis of their own
    FBuckets = f.Timeline();
    const int width = FBuckets.size() > 1
                          ? static_cast<int>((FBuckets[1].StartMs - FBuckets[0].StartMs) / 1000)
                          : f.BucketSeconds();
    t = FTables[kTimelineTab];
    filling.emplace(t);
    t->setRowCount(static_cast<int>(FBuckets.size()));
    auto* load = new QLineSeries;
    load->setName(Tr("Buslast (%)"));
    load->setColor(QColor(0x4C, 0x8B, 0xC9));
    auto* errors = new QLineSeries;
    errors->setName(Tr("Fehler"));
    errors->setColor(QColor(0xD9, 0x48, 0x3B));
    double maxErrors = 0;
    double maxLoad = 100.0;
    for (std::size_t k = 0; k < FBuckets.size(); ++k) {
        const TTimelineBucket& b = FBuckets[k];
        const QString time = QString::fromStdString(StatisticsTimeText(b.StartMs));
        load->append(TimePoint(b.StartMs), 100.0 * b.Load);
        errors->append(TimePoint(b.StartMs), static_cast<double>(b.Errors));
        maxErrors = std::max(maxErrors, static_cast<double>(b.Errors));
        maxLoad = std::max(maxLoad, 100.0 * b.Load);
        const int r = static_cast<int>(k);
        SetCell(t, r, 0, time, false);
        SetCell(t, r, 1, Num(b.Telegrams));
        SetCell(t, r, 2, Decimal(b.CharsPerSecond));
        SetCell(t, r, 3, Decimal(100.0 * b.Load));
        SetCell(t, r, 4, Num(b.Errors));
    }
    {
        QChart* c = NewChart();
        c->setTitle(Tr("Buslast und Fehler, je %1 s").arg(width));
        c->addSeries(load);
        c->addSeries(errors);
        auto* x = new QDateTimeAxis;
        x->setFormat(QStringLiteral("hh:mm:ss"));
        x->setTickCount(7);
        if (!FBuckets.empty())
            x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(TimePoint(FBuckets.front().StartMs))),
                        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(
                            TimePoint(FBuckets.back().StartMs + int64_t{width} * 1000))));
        // a telegram counts wholly in the bucket it starts in: a short bucket
        // can hold more than the bus carries in its time, and the axis shows
        // that peak too
        auto* y = new QValueAxis;
        const double top = std::ceil(maxLoad / 25.0) * 25.0;
        y->setRange(0, top);
        y->setTickCount(static_cast<int>(top / 25.0) + 1);
        y->setLabelFormat(QStringLiteral("%d %"));
        auto* y2 = new QValueAxis;
        y2->setTitleText(Tr("Fehler"));
        c->addAxis(x, Qt::AlignBottom);
        c->addAxis(y, Qt::AlignLeft);
        c->addAxis(y2, Qt::AlignRight);
        load->attachAxis(x);
        load->attachAxis(y);
        errors->attachAxis(x);
        errors->attachAxis(y2);
        CountAxis(y2, maxErrors);
        // a click goes to the first row of the bucket it is in
        auto toRow = [this](const QPointF& p) {
            const auto at = std::upper_bound(
                FBuckets.begin(), FBuckets.end(), p.x(),
                [](qreal x, const TTimelineBucket& b) { return x < TimePoint(b.StartMs); });
            GoToRow(BucketRow(static_cast<int>(at - FBuckets.begin()) - 1));
        };
        connect(load, &QLineSeries::clicked, this, toRow);
        connect(errors, &QLineSeries::clicked, this, toRow);
        QChart* old = FCharts[kTimelineTab]->chart();
        FCharts[kTimelineTab]->setChart(c);
        delete old;
    }
}

void TfStatisticsForm::FillReaction() {
    QChart* c = NewChart();
    const int index = FAddress->currentIndex();
    FReactionBars.clear();
    if (index >= 0 && index < static_cast<int>(FAddressList.size())) {
        const int32_t address = FAddressList[static_cast<std::size_t>(index)];
        const TAddressFigures& a = FFigures.Addresses().at(address);
        c->setTitle(Tr("Reaktionszeiten der Adresse %1 (Antworten: %2)").arg(address).arg(a.Reaction.Count()));
        auto* set = new QBarSet(Tr("Antworten"));
        set->setColor(QColor(0x4C, 0x8B, 0xC9));
        QStringList ranges;
        FReactionBars = a.Reaction.Histogram();
        for (const auto& b : FReactionBars) {
            ranges << QStringLiteral("%1-%2").arg(b.FromMs).arg(b.ToMs);
            *set << static_cast<double>(b.Count);
        }
        auto* series = new QBarSeries;
        series->append(set);
        series->setBarWidth(1.0);
        c->addSeries(series);
        auto* x = new QBarCategoryAxis;
        x->append(ranges);
        x->setTitleText(Tr("Reaktionszeit (ms)"));
        auto* y = new QValueAxis;
        double most = 0;
        for (const auto& b : FReactionBars) most = std::max(most, static_cast<double>(b.Count));
        c->addAxis(x, Qt::AlignBottom);
        c->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        CountAxis(y, most);
        // a bar leads to the first answer in its range of times
        connect(series, &QBarSeries::clicked, this,
                [this](int bar, QBarSet*) { GoToRow(ReactionBarRow(bar)); });
    }
    QChart* old = FCharts[kReactionTab]->chart();
    FCharts[kReactionTab]->setChart(c);
    delete old;
}

QString TfStatisticsForm::ExportChart(int tab, const QString& file) const {
    QChartView* view = FCharts[tab];
    if (file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return SaveFileThrough(file, [&](const QString& temporary) {
            QFile out(temporary);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
            QSvgGenerator svg;
            svg.setOutputDevice(&out);
            svg.setSize(view->size());
            svg.setViewBox(QRect(QPoint(0, 0), view->size()));
            svg.setTitle(Caption());
            QPainter p;
            if (!p.begin(&svg)) return false;
            view->render(&p);
            p.end();
            return out.flush() && out.error() == QFileDevice::NoError;
        });
    // drawn in memory, then written as every file is (the PNG writer never
    // meets a full disk, where it would give up halfway)
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!view->grab().save(&buffer, "PNG"))
        return QStringLiteral("Cannot write file %1.").arg(QDir::toNativeSeparators(file));
    return SaveFileSafely(file,
                          std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

QString TfStatisticsForm::ExportTable(int tab, const QString& file) const {
    const QTableWidget* t = FTables[tab];
    auto quoted = [](QString s) { return '"' + s.replace('"', QStringLiteral("\"\"")) + '"'; };
    QString text;
    for (int c = 0; c < t->columnCount(); ++c)
        text += (c ? ";" : "") + quoted(t->horizontalHeaderItem(c)->text());
    text += "\r\n";
    for (int r = 0; r < t->rowCount(); ++r) {
        for (int c = 0; c < t->columnCount(); ++c) {
            const QTableWidgetItem* item = t->item(r, c);
            const QString cell = item ? item->text() : QString();
            text += (c ? ";" : "") + (c == 0 ? quoted(cell) : cell);
        }
        text += "\r\n";
    }
    const QByteArray bytes = text.toUtf8();
    return SaveFileSafely(file, std::string_view(bytes.constData(), bytes.size()));
}

void TfStatisticsForm::AskExport(bool chart) {
    const int tab = FTabs->currentIndex();
    TFileDialogSpec spec;
    spec.Save = true;
    spec.Title = chart ? QStringLiteral("Diagramm speichern") : QStringLiteral("Tabelle speichern");
    spec.Folder = FromFileName(Session().Env().DialogDirectory(TFileFolder::Protokolle));
    const QString names[3] = {QStringLiteral("Datensaetze"), QStringLiteral("Reaktionszeiten"),
                              QStringLiteral("Verlauf")};
    spec.File = names[tab];
    if (chart) {
        spec.Filters = {QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("*.png"),
                        QStringLiteral("SVG-Grafik (*.svg)"), QStringLiteral("*.svg")};
        spec.DefaultSuffix = QStringLiteral("png");
    } else {
        spec.Filters = {QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("*.csv")};
        spec.DefaultSuffix = QStringLiteral("csv");
    }
    const QString file = AskFile(this, spec);
    if (file.isEmpty()) return;
    const QString why = chart ? ExportChart(tab, file) : ExportTable(tab, file);
    if (!why.isEmpty())
        QMessageBox::warning(this, Tr("Statistik"),
                             Tr("Die Datei %1 konnte nicht geschrieben werden.").arg(file) +
                                 QStringLiteral("\n") + why);
}

TfStatisticsForm* ShowStatistics(TSession& session, TfBaseProtocolForm* protocol, bool live) {
    auto& open = OpenWindows();
    if (TfStatisticsForm* w = open.value(protocol)) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        if (sub && sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
        w->activateWindow();
        w->raise();
        return w;
    }
    auto* w = new TfStatisticsForm(session, protocol, live);
    open.insert(protocol, w);
    auto* sub = qobject_cast<QMdiSubWindow*>(protocol->parentWidget());
    if (auto* area = dynamic_cast<TWindowArea*>(sub ? sub->mdiArea() : nullptr)) {
        area->AddWindow(w);
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    }
    return w;
}

} // namespace vaskel
