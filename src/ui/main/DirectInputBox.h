#pragma once
// TDirectInputBox: the direct input of the master group. A history drop-down
// for one telegram, its live check (record type and verdict), the detail
// input button and the send button; sending goes through the session's
// master simulation. The mode area places the controls.

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace vaskel {

class TSession;

class TDirectInputBox : public QObject {
public:
    TDirectInputBox(TSession& session, QObject* parent = nullptr);

    QComboBox* Input() const { return FInput; }
    QPushButton* SendButton() const { return FSend; }
    QLabel* RecordLabel() const { return FRecord; }
    QLabel* CheckLabel() const { return FCheck; }
    QPushButton* DetailButton() const { return FDetail; }
    // The text of the one-time warning last shown (empty: none yet).
    QString LastWarning() const { return FLastWarning; }

    // The live check of the typed text. The warning against editing the
    // destination-display records by hand comes only when the user typed
    // (not for a telegram the composer or the history put there).
    void LiveCheck();
    // Sends the typed telegram (after the monitor is opened) and keeps it in
    // the history. Half a second later the send button works again and the
    // focus goes to it, or after Enter back to the text field.
    void Send(bool fromEnter = false);
    // The device's master state: the send button follows it.
    void SetSendEnabled(bool on);

    // The entries of the IBIS-hex context menu: "\":\" - 10" ...
    static QStringList IbisHexMenuEntries();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ShowRecordTypeExamples();
    void InsertIbisHexDigit(QChar digit);

    TSession& FSession;
    QComboBox* FInput = nullptr;
    QPushButton* FSend = nullptr;
    QLabel* FRecord = nullptr;
    QLabel* FCheck = nullptr;
    QPushButton* FDetail = nullptr;
    QString FLastWarning;
    QString FCtrlDigits; // Ctrl + digits typed in the history drop-down
    bool FBusy = false;
    bool FTypedByHand = false; // the change being checked is the user's
};

} // namespace vaskel
