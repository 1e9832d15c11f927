#pragma once
// TfProtocolForm: the window of an opened protocol file, with playback.

#include "recording/OpenedProtocol.h"
#include "simulation/ProtocolPlayer.h"
#include "ui/protocol/BaseProtocolForm.h"

#include <QFileInfo>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace vaskel {

// An opened protocol file.
class TfProtocolForm : public TfBaseProtocolForm {
public:
    // Loads the file (older forms are converted); throws EVaskelError.
    TfProtocolForm(TSession& session, const QString& file, QWidget* parent = nullptr);
    // Shows rows loaded elsewhere (TProtocolLoader) from file.
    TfProtocolForm(TSession& session, const QString& file, TTable&& loaded,
                   const TProtocolLoad& info, QWidget* parent = nullptr);
    ~TfProtocolForm() override;
    QString FileName() const override { return FFile; }
    QString PrintTitle() const override { return QFileInfo(FFile).fileName(); }
    // when the file was written (its name's moment, else its last change)
    std::optional<TDateTime> PrintReference() const override { return ProtocolFileTime(FFile); }
    const TProtocolLoad& LoadInfo() const { return FLoad; }
    // A file that could not be read to its end: what the window says about
    // it (empty for a whole file).
    QString LoadWarning() const;
    // Marks the rows as not yet saved (a recovered safety copy).
    void SetUnsaved();
    // The caption "Protokoll" and the name; a "*" follows while the
    // protocol has changes not saved.
    void SetProtocolCaption(const QString& name);
    bool CanSaveAs() const override { return true; }
    bool SaveAs() override;
    // Writes the whole table to file; false (after a message) on failure.
    bool SaveTo(const QString& file);
    bool MayClose() override;
    // The name the save dialog proposes.
    QString ProposedName() const;

    // Classifies every row again and pairs the answers (marks the table
    // modified).
    void ReanalyseRows();
    // A protocol read as stored gets the pairing its status cells name.
    void PrepareFigures() override;

    // Playback: the send button, start and stop, the send mode. One
    // protocol plays at a time (the session knows which).
    void SendClicked();
    bool CanSend() const override { return true; }
    void StartSending() override;
    void StopSending();
    bool Sending() const override { return FSending; }
    void SetSendMode(TProtocolPlayer::TMode mode, bool fromButton = true);
    TProtocolPlayer::TMode SendMode() const { return FMode; }
    int SentCount() const { return FSent; }
    // Re-evaluates sending and the send button (device or monitor changed).
    void RefreshFromState() override;
    QPushButton* SendButton() const { return FSendButton; }
    QLabel* InfoPanel() const { return FInfo; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ShowModified();
    // The window around the loaded rows (both constructors).
    void Build();
    void ShowSentCount();

    TTable FOwnTable;
    bool FPairingRestored = false;
    QString FFile;
    TProtocolLoad FLoad;
    // the playback runs in the live session; this window shows it
    TProtocolPlayer::TMode FMode = TProtocolPlayer::smOnce;
    bool FSending = false;
    int FSent = 0;
    QPushButton* FSendButton = nullptr;
    QPushButton* FModeButton = nullptr;
    QLabel* FInfo = nullptr;
    QLabel* FLoadWarning = nullptr;
    bool FSavedWarnings = true;
    bool FStarted = false; // started, not yet stopped (a single send ends at once)
};

// The message shown when a protocol cannot be loaded.
QString ProtocolLoadErrorText(const QString& reason);

} // namespace vaskel
