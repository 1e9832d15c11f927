#pragma once
// TfCommunicationForm, "Schnittstellenkommunikation": every byte string
// between PC and device, received ones on the left ("Gerät --> PC"), sent
// ones on the right ("PC --> Gerät"), lined up in time. The first bytes of
// each row are drawn in red; rows are shown in ASCII or hex; the log can
// be paused (the newest row is no longer selected), cleared, copied and
// saved as text. It listens to the session while it is open.

#include "link/TrafficLog.h"
#include "ui/common/FileDialogs.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>

class QPushButton;
class QSpinBox;

namespace vaskel {

class TSession;
class TSyncListbox;

// The rows of a TTrafficLog for two lists: column 0 the received side,
// column 1 the sent side.
class TTrafficModel : public QAbstractTableModel {
public:
    explicit TTrafficModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    TTrafficLog& Log() { return FLog; }
    const TTrafficLog& Log() const { return FLog; }

    // Logs a string; the lists grow and the oldest rows go past the bound.
    void Add(TTrafficSide side, std::string_view bytes, int64_t msOfDay);
    void Clear();
    // The widest row text measured so far in a list, in pixels (every row
    // gets this width, so the list can be scrolled to it).
    void Widen(int column, int width);
    int Widest(int column) const { return FWidest[column]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    static constexpr int kFillerRole = Qt::UserRole + 1;    // bool
    static constexpr int kHighlightRole = Qt::UserRole + 2; // characters in red

private:
    TTrafficLog FLog;
    int FWidest[2] = {0, 0};
};

class TfCommunicationForm : public QWidget {
public:
    TfCommunicationForm(TSession& session, QWidget* parent = nullptr);
    ~TfCommunicationForm() override;

    // Logs a string of either direction (the session's traffic lands here).
    void LogTraffic(bool toDevice, std::string_view bytes, int64_t msOfDay);

    TTrafficModel& Model() { return *FModel; }
    TSyncListbox* ListIn() const { return FIn; }
    TSyncListbox* ListOut() const { return FOut; }
    QPushButton* ModeButton() const { return FMode; }
    QPushButton* PauseButton() const { return FPause; }
    QPushButton* ClearButton() const { return FClear; }
    QPushButton* SaveButton() const { return FSave; }
    QSpinBox* HighlightBox() const { return FHighlight; }
    bool Paused() const { return FPaused; }

    // "Kopieren" of a list: its first selected row and CR LF.
    void CopyFrom(TSyncListbox* list);
    // "Speichern": the dialog, the file, the notice.
    void SaveAsked();
    // Tests answer the save dialog.
    std::function<QString(const TFileDialogSpec&)> AskSaveFile;

protected:
    void changeEvent(QEvent* e) override;

private:
    void SetMode(TTrafficMode mode);
    void SetPaused(bool paused);
    void MeasureNewRows();

    TSession& FSession;
    TTrafficModel* FModel = nullptr;
    TSyncListbox* FIn = nullptr;
    TSyncListbox* FOut = nullptr;
    QPushButton* FMode = nullptr;
    QPushButton* FPause = nullptr;
    QPushButton* FClear = nullptr;
    QPushButton* FSave = nullptr;
    QSpinBox* FHighlight = nullptr;
    bool FPaused = false;
    int FMeasured = 0; // rows measured for the scroll width so far
};

} // namespace vaskel
