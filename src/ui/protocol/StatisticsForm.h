#pragma once
// TfStatisticsForm: the figures of one protocol window ("Statistik"): the
// record types with their errors, each display's reaction times, the load
// and the errors over time, as tables and charts. A click on a bar or a
// table row selects the first protocol row it stands for. Following the
// live monitor, the figures take the new rows at most once a second.

#include "analysis/ProtocolStatistics.h"
#include "ui/common/ChildWindow.h"

#include <QPointer>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace vaskel {

class TfBaseProtocolForm;

class TfStatisticsForm : public TfChildWindow {
public:
    // live: the protocol is the monitor's recording, which grows.
    TfStatisticsForm(TSession& session, TfBaseProtocolForm* protocol, bool live,
                     QWidget* parent = nullptr);

    const TProtocolStatistics& Figures() const { return FFigures; }
    // Takes the rows the protocol has now (all of them again unless live).
    void Refresh();
    // The protocol row a bar or table row stands for (-1: none): record
    // types by their index in the record-type table, addresses by theirs,
    // timeline buckets by theirs.
    int RecordTypeRow(int index, bool errors) const;
    int AddressRow(int index) const;
    int BucketRow(int index) const;
    // The first answer whose reaction time lies in a bar of the reaction
    // chart (the address chosen there).
    int ReactionBarRow(int bar) const;
    // Selects and shows a protocol row in the protocol window.
    void GoToRow(int row);

    QTabWidget* Tabs() const { return FTabs; }
    QTableWidget* Table(int tab) const;
    QChartView* ChartView(int tab) const;
    // Writes the chart of a tab as PNG or SVG, its table as CSV (";",
    // quoted texts, UTF-8), each through a temporary file renamed over the
    // target; returns an empty text, or the reason naming the file.
    QString ExportChart(int tab, const QString& file) const;
    QString ExportTable(int tab, const QString& file) const;


private:
    void Fill();
    void FillReaction();
    void AskExport(bool chart);

    QPointer<TfBaseProtocolForm> FProtocol;
    bool FLive = false;
    int FNextRow = 0; // rows already in the figures (live)
    TProtocolStatistics FFigures;
    std::vector<std::string> FTypes; // the record types in table order
    std::vector<int32_t> FAddressList;
    std::vector<TTimelineBucket> FBuckets;
    std::vector<TReactionTimes::TBucket> FReactionBars; // of the chosen address
    QTabWidget* FTabs = nullptr;
    QTableWidget* FTables[3] = {};
    QChartView* FCharts[3] = {};
    QComboBox* FAddress = nullptr;
    QLabel* FSummary = nullptr;
    QTimer* FTimer = nullptr;
};

// Opens the statistics of a protocol window, or brings its open one to the
// front.
TfStatisticsForm* ShowStatistics(TSession& session, TfBaseProtocolForm* protocol, bool live);

} // namespace vaskel
