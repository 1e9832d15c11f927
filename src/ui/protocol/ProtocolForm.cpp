#include "ui/protocol/ProtocolForm.h"

#include "platform/QtText.h"
#include "recording/TableFile.h"
#include "shell/SystemPlatform.h"
#include "shell/Timers.h"
#include "telegram/Errors.h"
#include "telegram/Filter.h"
#include "telegram/TextConventions.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace vaskel {

QString ProtocolLoadErrorText(const QString& reason) {
    QString text = TrLines(kProtocolLoadError);
    if (!reason.isEmpty()) text += QStringLiteral("\n\n") + Tr(reason);
    return text;
}

TfProtocolForm::TfProtocolForm(TSession& session, const QString& file, QWidget* parent)
    : TfBaseProtocolForm(session, parent), FOwnTable(MakeProtocolTable()), FFile(file) {
    SetHelpContext(this, help::kProtocol);
    FLoad =
        LoadProtocolFile(FOwnTable, QFile::encodeName(file).toStdString(), FParser, FEnv.BusType());
    Build();
}

TfProtocolForm::TfProtocolForm(TSession& session, const QString& file, TTable&& loaded,
                               const TProtocolLoad& info, QWidget* parent)
    : TfBaseProtocolForm(session, parent), FOwnTable(std::move(loaded)), FFile(file), FLoad(info) {
    SetHelpContext(this, help::kProtocol);
    Build();
}

QString TfProtocolForm::LoadWarning() const {
    if (!FLoad.Incomplete) return QString();
    return Tr("Das Protokoll ist unvollständig: Ein Anführungszeichen in Zeile %1 der "
              "Datei wird nie geschlossen, daher kann ab dort nichts gelesen werden. Gezeigt "
              "werden die %2 Zeilen davor.")
        .arg(FLoad.UnreadFromLine)
        .arg(FLoad.RowsRead);
}

void TfProtocolForm::Build() {
    AttachTable(FOwnTable);
    FModel->Reset(FOwnTable.RowCount());
    // the older forms are analysed anew, and a comma-form file read to its end
    // is written back; a file cut short is not
    FOwnTable.Modified = FLoad.Reanalysed && !FLoad.WrittenBack;
    SetCaption(Tr("Protokoll") + QStringLiteral(" ") + QDir::toNativeSeparators(FFile));
    ShowModified();
    if (FLoad.Incomplete) {
        FLoadWarning = new QLabel(LoadWarning());
        FLoadWarning->setObjectName(QStringLiteral("lblLoadWarning"));
        FLoadWarning->setWordWrap(true);
        FLoadWarning->setStyleSheet(QStringLiteral("background: #FF8080; padding: 3px;"));
        FMain->insertWidget(FMain->indexOf(FView), FLoadWarning);
    }

    auto* save = new QPushButton;
    SetDe(save, "Speichern unter...");
    save->setObjectName(QStringLiteral("btnSaveAs"));
    connect(save, &QPushButton::clicked, this, [this] { SaveAs(); });
    auto* reanalyse = new QPushButton;
    reanalyse->setObjectName(QStringLiteral("tbReanalyse"));
    SetDe(reanalyse, "Protokoll erneut analysieren ...",
          "Das aktuelle Protokoll erneut analysieren lassen.");
    connect(reanalyse, &QPushButton::clicked, this, [this] { ReanalyseRows(); });
    FSendButton = new QPushButton;
    FSendButton->setObjectName(QStringLiteral("btSend"));
    SetDe(FSendButton, "Senden",
          "Startet das Senden der Aufzeichnung. Es wird in der Zeile begonnen, die gerade "
          "markiert ist.");
    connect(FSendButton, &QPushButton::clicked, this, [this] { SendClicked(); });
    FModeButton = new QPushButton;
    FModeButton->setObjectName(QStringLiteral("tbSwitchMode"));
    connect(FModeButton, &QPushButton::clicked, this, [this] {
        // once → cyclic → single telegram → once
        static const TProtocolPlayer::TMode next[3] = {
            TProtocolPlayer::smSingle, TProtocolPlayer::smCyclic, TProtocolPlayer::smOnce};
        SetSendMode(next[FMode]);
    });
    auto* modeMenu = new QMenu(FModeButton);
    const auto mode = [&](const char* caption, TProtocolPlayer::TMode m) {
        QAction* a = modeMenu->addAction(QString());
        SetDe(a, caption);
        connect(a, &QAction::triggered, this, [this, m] { SetSendMode(m, false); });
    };
    mode("Protokoll einmal versenden", TProtocolPlayer::smOnce);
    mode("Protokoll zyklisch versenden", TProtocolPlayer::smCyclic);
    mode("Nur dieses Telegramm verschicken", TProtocolPlayer::smSingle);
    FModeButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FModeButton, &QWidget::customContextMenuRequested, this,
            [this, modeMenu](const QPoint& p) { modeMenu->exec(FModeButton->mapToGlobal(p)); });
    FInfo = new QLabel;
    FInfo->setObjectName(QStringLiteral("pnInfo"));
    FInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ToolBar()->addSeparator();
    ToolBar()->addWidget(reanalyse);
    BottomButtons()->addWidget(FInfo, 1);
    BottomButtons()->addWidget(FModeButton);
    BottomButtons()->addWidget(FSendButton);
    BottomButtons()->addWidget(save);
    AddCloseButton();
    FView->installEventFilter(this);

    SetSendMode(TProtocolPlayer::smOnce);
    ShowSentCount();
    // the playback ended, or another protocol plays now: this one stops
    connect(&Session(), &TSession::PlaybackChanged, this, [this] {
        if (FSending && Session().Live().PlaybackOwner() != this) StopSending();
    });
}

TfProtocolForm::~TfProtocolForm() {
    FSending = false;
    if (Session().Live().PlaybackOwner() == this) Session().Live().StopPlayback();
}

void TfProtocolForm::ReanalyseRows() {
    if (FOwnTable.RowCount() == 0 || FOwnTable.Cell(pcKind, 0).empty()) return;
    QProgressDialog progress(Tr("Das Protokoll wird ausgewertet ..."), QString(), 1,
                             FOwnTable.RowCount(), this);
    progress.setWindowTitle(Tr("Bitte haben Sie etwas Geduld ..."));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    Reanalyse(FOwnTable, FParser, FEnv.BusType(), [&](int row) {
        if (row % 256 == 0) {
            progress.setValue(row);
            QApplication::processEvents();
        }
    });
    progress.reset();
    FOwnTable.Modified = true;
    ShowModified();
    FModel->Reset(FOwnTable.RowCount());
    ApplyFilter();
}

// A protocol not saved since it changed carries a "*" after its caption.
void TfProtocolForm::ShowModified() {
    const QString title = FOwnTable.Modified ? Caption() + QStringLiteral(" *") : Caption();
    setWindowTitle(title);
    if (parentWidget()) parentWidget()->setWindowTitle(title);
}

void TfProtocolForm::SetProtocolCaption(const QString& name) {
    SetCaption(Tr("Protokoll") + QStringLiteral(" ") + name);
    ShowModified();
}

void TfProtocolForm::ShowSentCount() {
    FInfo->setText(Tr("  Anzahl versendeter Telegramme: %1").arg(FSent));
}

void TfProtocolForm::SetSendMode(TProtocolPlayer::TMode mode, bool fromButton) {
    FMode = mode;
    switch (mode) {
    case TProtocolPlayer::smCyclic:
        FModeButton->setText(Tr("Zyklisch"));
        FModeButton->setToolTip(
            Tr("Ist beim Senden das Protokollende erreicht, wird wieder von vorne begonnen."));
        break;
    case TProtocolPlayer::smOnce:
        FModeButton->setText(Tr("Einmal"));
        FModeButton->setToolTip(
            fromButton ? Tr("Beim Senden wird das Protokoll einmal von oben nach unten versendet.")
                       : Tr("Beim Senden wird das Protokoll einmal von oben nach unten versendet"));
        break;
    case TProtocolPlayer::smSingle:
        FModeButton->setText(Tr("Einzeln"));
        FModeButton->setToolTip(Tr("Es wird nur das markierte Telegramm versendet."));
        break;
    }
}

void TfProtocolForm::SendClicked() {
    TDeviceStatus& status = Session().Status();
    if (!status.Master() || !status.DeviceOnline()) {
        const auto answer = QMessageBox::warning(
            this, Tr("Warnung: Modus Umschaltung"),
            Tr("Sie können nur dann eine Mastersimulation starten, wenn der %1 Master ist.")
                    .arg(QStringLiteral("Tavrin")) +
                QStringLiteral("\n") + Tr("Dies ist augenblicklich nicht der Fall.") +
                QStringLiteral("\n") +
                Tr("Soll nun versucht werden, den %1 in den Mastermodus zu schalten?")
                    .arg(QStringLiteral("Tavrin")),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
        if (!status.Master()) Session().SwitchMasterMode();
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 1000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (IMainWindow* main = MainWindowOf(this); main && !Session().Recording())
        main->ShowMonitor(true);
    if (FSending)
        StopSending();
    else
        StartSending();
}

void TfProtocolForm::StartSending() {
    if (FSending) return;
    TLiveSession& live = Session().Live();
    if (live.PlaybackOwner() && live.PlaybackOwner() != this) {
        if (QMessageBox::question(
                this, Caption(),
                Tr("Es ist bereits ein anderes Protokoll aktiv, es darf jedoch immer nur ein "
                   "Protokoll aktiv sein.") +
                    QStringLiteral("\n") +
                    Tr("Möchten Sie nun das andere Protokoll stoppen und dieses aktivieren?")) !=
            QMessageBox::Yes)
            return;
        Session().StopAllPlayback();
    }
    FStarted = true;
    FSendButton->setText(Tr("Anhalten"));
    if (IMainWindow* main = MainWindowOf(this)) main->ShowSendDelayTip();
    FSavedWarnings = AutoWarnings();
    SetAutoWarnings(false);
    setStyleSheet(QStringLiteral("#pnInfo { background: #FF8080; }"));
    TLiveSession::TPlayback p;
    p.Owner = this;
    p.File = QFile::encodeName(FFile).toStdString();
    p.Mode = FMode;
    p.StartRow = FView->currentIndex().isValid() ? FView->currentIndex().row() : 0;
    p.SendDelayFactor = [this] { return FEnv.ProtocolSendDelay(); };
    p.Stepped = [this](int row, int sent) {
        FSent = sent;
        ShowSentCount();
        if (row < FModel->rowCount()) FView->setCurrentIndex(FModel->index(row, 0));
    };
    if (live.StartPlayback(FOwnTable, std::move(p)))
        FSending = true;
    else
        StopSending();
}

void TfProtocolForm::StopSending() {
    const bool was = FSending || FStarted;
    FSending = false;
    FStarted = false;
    if (Session().Live().PlaybackOwner() == this) Session().Live().StopPlayback();
    FSendButton->setText(Tr("Senden"));
    setStyleSheet(QString());
    if (was) SetAutoWarnings(FSavedWarnings);
    RefreshFromState();
}

void TfProtocolForm::RefreshFromState() {
    TfBaseProtocolForm::RefreshFromState();
    const TDeviceStatus& status = Session().Status();
    const bool master = status.Master();
    if (FSending && (!status.DeviceOnline() || !Session().Recording() || !master)) {
        StopSending();
        return;
    }
    FSendButton->setEnabled(master || status.MasterPossible());
}

void TfProtocolForm::SetUnsaved() {
    FOwnTable.Modified = true;
    ShowModified();
}

QString TfProtocolForm::ProposedName() const {
    if (FFile.isEmpty()) return NowProtocolFileName();
    const QString name = QFileInfo(FFile).fileName();
    return name.endsWith(QLatin1String(".PRO.CSV"), Qt::CaseInsensitive)
               ? name
               : name + QStringLiteral(".PRO.CSV");
}

bool TfProtocolForm::SaveAs() {
    const QString file = AskProtocolFile(ProposedName());
    if (file.isEmpty()) return false;
    return SaveTo(file);
}

bool TfProtocolForm::SaveTo(const QString& file) {
    const std::string name = QFile::encodeName(file).toStdString();
    FEnv.RememberDirectory(TFileFolder::Protokolle, ExtractFilePath(name));
    if (FModel->rowCount() > 0) FView->setCurrentIndex(FModel->index(0, 0));
    try {
        SaveToCSV(FOwnTable, name, '"', 0, std::nullopt, ';');
    } catch (const std::exception& e) {
        QMessageBox::warning(this, Tr("Protokolldatei speichern"),
                             Tr("Die Datei konnte nicht geschrieben werden.") +
                                 QStringLiteral("\n") + FromCp1252(e.what()));
        return false;
    }
    FOwnTable.Modified = false;
    FFile = file;
    SetProtocolCaption(QDir::toNativeSeparators(file));
    return true;
}

bool TfProtocolForm::MayClose() {
    if (!FOwnTable.Modified) return true;
    QMessageBox box(QMessageBox::Question, Tr("Protokoll speichern?"),
                    Caption() + QStringLiteral("\n") +
                        Tr("Das Protokoll wurde importiert oder erneut analysiert.") +
                        QStringLiteral("\n") +
                        Tr("Wollen Sie das geänderte Protokoll jetzt speichern?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    const int answer = box.exec();
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) {
        // no file yet (a recovered safety copy keeps its own): nothing proposed
        const QString file = AskProtocolFile(FFile.isEmpty() ? QString() : ProposedName());
        return !file.isEmpty() && SaveTo(file);
    }
    return true;
}

void TfProtocolForm::closeEvent(QCloseEvent* e) {
    TfBaseProtocolForm::closeEvent(e);
    // a running playback ends with the window
    if (e->isAccepted() && FSending) StopSending();
}

void TfProtocolForm::changeEvent(QEvent* e) {
    TfBaseProtocolForm::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        SetCaption(Tr("Protokoll") + QStringLiteral(" ") + QDir::toNativeSeparators(FFile));
        FSendButton->setText(FSending ? Tr("Anhalten") : Tr("Senden"));
        SetSendMode(FMode);
        ShowSentCount();
    }
}

void TfProtocolForm::keyPressEvent(QKeyEvent* e) {
    // Return belongs to the table: a text field that passes it on (the
    // marking field, the factor) has done with it already
    QWidget* focus = QApplication::focusWidget();
    const bool fromField = focus && focus != FView && isAncestorOf(focus);
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !fromField &&
        FView->currentIndex().isValid()) {
        DetailAnalysis(FView->currentIndex().row());
        return;
    }
    TfBaseProtocolForm::keyPressEvent(e);
}

void TfProtocolForm::PrepareFigures() {
    if (FLoad.Reanalysed || FPairingRestored) return;
    RestoreRowObjects(FOwnTable, FParser, FEnv.BusType());
    FPairingRestored = true;
}

} // namespace vaskel
