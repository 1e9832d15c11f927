// The statistics of a protocol window: the figures of an opened protocol and
// of the live monitor, the way from a bar or table row to its protocol row,
// and the exports.

#include "ui/protocol/MonitorFixture.h"
#include "ui/protocol/StatisticsForm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QComboBox>
#include <QLocale>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QChart>
#include <QChartView>
#include <QTest>
#include <QFile>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>

namespace vaskel {
namespace {

class StatisticsOfAProtocolTest : public ProtocolWindowTest {};
class StatisticsOfTheMonitorTest : public MonitorWindowTest {};

QString CellText(QTableWidget* t, int row, int col) {
    return t->item(row, col) ? t->item(row, col)->text() : QString();
}

// The opened protocol: a1 answered by a10, l001, a2 never answered, z034.
TEST_F(StatisticsOfAProtocolTest, FiguresRowsAndExports) {
    TfProtocolForm w(S, QString::fromStdString(File));
    auto* button = w.findChild<QPushButton*>(QStringLiteral("tbStatistics"));
    ASSERT_TRUE(button);
    button->click();
    TfStatisticsForm* stats = ShowStatistics(S, &w, false);
    ASSERT_TRUE(stats);
    EXPECT_EQ(ShowStatistics(S, &w, false), stats) << "one statistics window per protocol";
    EXPECT_EQ(stats->Caption(), QStringLiteral("Statistik - ") + w.Caption());

    const TProtocolStatistics& f = stats->Figures();
    EXPECT_EQ(f.Rows(), 5u);
    ASSERT_EQ(f.Addresses().size(), 2u) << "the pairing comes back from the status cells";
    EXPECT_EQ(f.Addresses().at(1).Answers, 1u);
    EXPECT_EQ(f.Addresses().at(2).Unanswered(), 1u);

    // the tables show the figures
    QTableWidget* addresses = stats->Table(1);
    ASSERT_EQ(addresses->rowCount(), 2);
    EXPECT_EQ(CellText(addresses, 0, 0), "1");
    EXPECT_EQ(CellText(addresses, 0, 2), "1");
    EXPECT_EQ(CellText(addresses, 1, 0), "2");
    EXPECT_EQ(CellText(addresses, 1, 3), "1");
    QTableWidget* types = stats->Table(0);
    EXPECT_EQ(types->rowCount(), static_cast<int>(f.RecordTypes().size()));
    QTableWidget* timeline = stats->Table(2);
    int telegrams = 0;
    for (int r = 0; r < timeline->rowCount(); ++r) telegrams += CellText(timeline, r, 1).toInt();
    EXPECT_EQ(telegrams, 5) << "every telegram in its second";

    // from a bar or table row to the first protocol row it stands for
    EXPECT_EQ(stats->AddressRow(1), 3) << "a2 is the fourth row";
    EXPECT_EQ(stats->BucketRow(0), 0);
    int zType = -1;
    for (int r = 0; r < types->rowCount(); ++r)
        if (CellText(types, r, 0) == FromCp1252(Recorded.Cell(pcRecordNo, 4))) zType = r;
    ASSERT_GE(zType, 0);
    EXPECT_EQ(stats->RecordTypeRow(zType, false), 4);
    emit addresses->cellDoubleClicked(1, 0);
    EXPECT_EQ(w.View()->currentIndex().row(), 3);
    EXPECT_EQ(stats->RecordTypeRow(99, false), -1);

    // exports
    for (int tab = 0; tab < 3; ++tab) {
        const QString png = QString::fromStdString(Dir / ("c" + std::to_string(tab) + ".png"));
        const QString svg = QString::fromStdString(Dir / ("c" + std::to_string(tab) + ".svg"));
        const QString csv = QString::fromStdString(Dir / ("t" + std::to_string(tab) + ".csv"));
        stats->resize(700, 500);
        EXPECT_EQ(stats->ExportChart(tab, png), QString()) << tab;
        EXPECT_EQ(stats->ExportChart(tab, svg), QString()) << tab;
        EXPECT_EQ(stats->ExportTable(tab, csv), QString()) << tab;
        QFile s(svg);
        ASSERT_TRUE(s.open(QIODevice::ReadOnly));
        EXPECT_TRUE(s.readAll().contains("<svg")) << tab;
    }
    const std::string table = test::ReadFile(Dir / "t1.csv");
    EXPECT_EQ(table.substr(0, table.find("\r\n")),
              "\"Adresse\";\"Anfragen\";\"Antworten\";\"unbeantwortet\";\"ung\xC3\xBCltig\";"
              "\"Minimum (ms)\";\"Median (ms)\";\"95 % (ms)\";\"Maximum (ms)\"");
    EXPECT_NE(table.find("\"2\";1;0;1;0;;;;\r\n"), std::string::npos) << table;
    EXPECT_FALSE(stats->ExportTable(0, QString::fromStdString(Dir / "no/such/folder/t.csv")).isEmpty());
    delete stats;
}

// The monitor's figures follow the recording: new rows are taken at the next
// refresh (once a second), a new recording starts them again.
TEST_F(StatisticsOfTheMonitorTest, FiguresFollowTheRecording) {
    Capture("a1", 1000);
    Capture("a10", 1700, 'S');
    TfStatisticsForm* stats = ShowStatistics(S, M.get(), true);
    EXPECT_EQ(stats->Figures().Rows(), 2u);
    Capture("a2", 3100);
    Capture("a20", 3800, 'S');
    EXPECT_EQ(stats->Figures().Rows(), 2u) << "not before the refresh";
    stats->Refresh();
    EXPECT_EQ(stats->Figures().Rows(), 4u);
    EXPECT_EQ(stats->Figures().Addresses().at(2).Answers, 1u);
    EXPECT_EQ(stats->Table(1)->rowCount(), 2);
    M->Clear(false);
    Capture("l001", 5000);
    stats->Refresh();
    EXPECT_EQ(stats->Figures().Rows(), 1u) << "a new recording";
    delete stats;
}

// Counts how often the cells of a table are measured.
class TMeasuringDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++Measured;
        return QStyledItemDelegate::sizeHint(option, index);
    }
    mutable int Measured = 0;
};

// A refresh of the shown table measures its columns once, not once for
// every cell that changed (a table of n rows then cost n * n measurements
// a second, and a long recording held the windows up for a second).
TEST_F(StatisticsOfTheMonitorTest, ARefreshMeasuresTheColumnsOnce) {
    // one telegram a second for two minutes: a timeline of many buckets
    for (uint32_t second = 0; second < 120; ++second) Capture("l001", second * 7200);
    TfStatisticsForm* stats = ShowStatistics(S, M.get(), true);
    stats->Tabs()->setCurrentIndex(2);
    stats->resize(760, 560);
    stats->show();
    QApplication::processEvents();
    QTableWidget* timeline = stats->Table(2);
    ASSERT_GE(timeline->rowCount(), 40);
    auto* counting = new TMeasuringDelegate(timeline);
    timeline->setItemDelegate(counting);
    // every bucket's figures change: the buckets become wider
    for (uint32_t second = 120; second < 240; ++second) Capture("l001", second * 7200);
    stats->Refresh();
    QApplication::processEvents();
    ASSERT_GE(timeline->rowCount(), 40);
    const int cells = timeline->rowCount() * timeline->columnCount();
    EXPECT_GT(counting->Measured, 0);
    EXPECT_LE(counting->Measured, 3 * cells) << "measurements for " << cells << " cells";
    delete stats;
}

// A click on a bar of the reaction times selects the first answer whose
// time lies in the bar's range.
TEST_F(StatisticsOfTheMonitorTest, AReactionBarLeadsToItsFirstAnswer) {
    // answers of display 1 after 40, 33, 20, 33 and 34 ms: rows 1, 3, 5, 7, 9
    uint32_t at = 0;
    for (const uint32_t ms : {40u, 33u, 20u, 33u, 34u}) {
        Capture("a1", at);
        Capture("a10", at + 300 + ms * 72 / 10 + 1, 'S'); // the master ended at +300
        at += 7200;
    }
    const TTable& t = M->Recorder().Table();
    ASSERT_EQ(t.Cell(pcReaction, 3), "33");
    ASSERT_EQ(t.Cell(pcReaction, 5), "20");
    TfStatisticsForm* stats = ShowStatistics(S, M.get(), true);
    stats->Tabs()->setCurrentIndex(1);
    stats->resize(760, 560);
    stats->show();
    QApplication::processEvents();
    QChartView* view = stats->ChartView(1);
    QChart* chart = view->chart();
    ASSERT_EQ(chart->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->series().front());
    ASSERT_NE(bars, nullptr);
    const QStringList ranges = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).front())
                                   ->categories();
    const int bar = static_cast<int>(ranges.indexOf(QStringLiteral("32-34")));
    ASSERT_GE(bar, 0) << ranges.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(stats->ReactionBarRow(bar), 3);
    // the middle of the bar, on the screen
    const auto click = [&](int index, double height) {
        const QPointF inChart = chart->mapToPosition(QPointF(index, height / 2), bars);
        const QPoint onView = view->mapFromScene(chart->mapToScene(inChart));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onView);
        QApplication::processEvents();
    };
    M->View()->setCurrentIndex(M->Model().index(8, 0));
    click(bar, 2);
    EXPECT_EQ(M->View()->currentIndex().row(), 3) << "not the address's first request (row 0)";
    click(static_cast<int>(ranges.indexOf(QStringLiteral("20-22"))), 1);
    EXPECT_EQ(M->View()->currentIndex().row(), 5);
    click(static_cast<int>(ranges.indexOf(QStringLiteral("34-36"))), 1);
    EXPECT_EQ(M->View()->currentIndex().row(), 9);
    delete stats;
}

// What the charts show on their own: an unknown record type in words, the
// first address with reaction times chosen, a single faulty telegram among
// many visible, and a bus-load peak above 100 % inside the axis.
TEST_F(StatisticsOfTheMonitorTest, ChartsShowWhatTheFiguresHold) {
    uint32_t at = 0;
    Capture("a0", at); // display 0: asked, never answered
    at += 7200;
    for (int k = 0; k < 100; ++k) {
        Capture("a1", at);
        Capture("a10", at + 300 + 30 * 72 / 10, 'S');
        at += 7200;
    }
    {
        TTelegramm t; // one a1 with a framing error
        t.Text = TelegramBytes("a1");
        t.StartTicks = at;
        t.EndTicks = at + 300;
        t.ErrorFlags = 1;
        S.Capture(t, 'M');
        at += 7200;
    }
    Capture("Y#", at); // no record type of the catalogue
    at += 7200;
    // six long telegrams started within one second: more than the bus carries
    for (int k = 0; k < 6; ++k)
        Capture("zA1" + std::string(40, 'x'), at + static_cast<uint32_t>(k) * 1000);
    TfStatisticsForm* stats = ShowStatistics(S, M.get(), true);
    stats->resize(760, 560);
    stats->show();
    QApplication::processEvents();

    // the record types: "[]" is no name
    const auto& types = stats->Figures().RecordTypes();
    ASSERT_TRUE(types.count("[]")) << "the test needs a telegram without record type";
    QTableWidget* typeTable = stats->Table(0);
    bool named = false;
    for (int r = 0; r < typeTable->rowCount(); ++r) {
        EXPECT_NE(CellText(typeTable, r, 0), QStringLiteral("[]"));
        named |= CellText(typeTable, r, 0) == QStringLiteral("unbekannt");
    }
    EXPECT_TRUE(named);
    // the one faulty a1 is a bar one can see beside its 100 clean ones
    auto* stacked = qobject_cast<QStackedBarSeries*>(stats->ChartView(0)->chart()->series().front());
    ASSERT_NE(stacked, nullptr);
    ASSERT_EQ(stacked->barSets().size(), 2);
    int a1 = -1, k = 0;
    for (const auto& [no, fig] : types) {
        if (fig.RowsWithErrors == 1) a1 = k;
        ++k;
    }
    ASSERT_GE(a1, 0);
    double highest = 0;
    for (const auto& [no, fig] : types) highest = std::max(highest, static_cast<double>(fig.Count));
    QBarSet* faulty = stacked->barSets()[1];
    QBarSet* clean = stacked->barSets()[0];
    EXPECT_GE(faulty->at(a1), 0.02 * highest - 1e-9) << "at least 2 % of the highest bar";
    const double count = static_cast<double>(std::next(types.begin(), a1)->second.Count);
    EXPECT_DOUBLE_EQ(faulty->at(a1) + clean->at(a1), std::max(count, 0.02 * highest))
        << "the bar keeps its height, at least 2 % of the highest";
    EXPECT_EQ(CellText(typeTable, a1, 2), QStringLiteral("1")) << "the table keeps the count";

    // the reaction times: address 1 (address 0 has none)
    EXPECT_EQ(stats->Figures().Addresses().at(0).Reaction.Count(), 0u);
    EXPECT_EQ(stats->findChild<QComboBox*>(QStringLiteral("cbAddress"))->currentText(),
              QStringLiteral("1"));

    // the load's axis takes its highest value
    QChart* timeline = stats->ChartView(2)->chart();
    double peak = 0;
    for (int r = 0; r < stats->Table(2)->rowCount(); ++r)
        peak = std::max(peak, QLocale(QLocale::German).toDouble(CellText(stats->Table(2), r, 3)));
    ASSERT_GT(peak, 100.0) << "the test needs a peak above 100 %";
    auto* load = qobject_cast<QValueAxis*>(timeline->axes(Qt::Vertical).front());
    ASSERT_NE(load, nullptr);
    EXPECT_GE(load->max(), peak);
    delete stats;
}

} // namespace
} // namespace vaskel
