#include "ui/device/DeviceWindows.h"

#include "link/AutonomousRecording.h"
#include "link/DeviceProtocol.h"
#include "ui/common/ActionTable.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/device/AutonomousPanel.h"
#include "ui/device/CommunicationForm.h"
#include "ui/device/DebugOutputForm.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMainWindow>
#include <QMessageBox>
#include <QToolBar>

namespace vaskel {

namespace {

template <typename W> W* Front(W* w) {
    w->show();
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->raise();
    w->activateWindow();
    return w;
}

} // namespace

TDeviceWindows::TDeviceWindows(TSession& session, const TActionTable& actions, QMainWindow* main)
    : QObject(main), FSession(session), FMain(main) {
    // the bar lies below the main tool bar, hidden until it is asked for
    FPanel = new TAutonomousPanel(session, actions);
    FPanelBar = new QToolBar(main);
    FPanelBar->setObjectName(QStringLiteral("pnlOfflineModeBar"));
    FPanelBar->setWindowTitle(Tr("Autonomes Aufzeichnen")); // its name in the tool bars' menu
    FPanelBar->setMovable(false);
    FPanelBar->addWidget(FPanel);
    // the panel arranges its buttons for the bar's width
    FPanelBar->installEventFilter(FPanel);
    main->addToolBarBreak(Qt::TopToolBarArea);
    main->addToolBar(Qt::TopToolBarArea, FPanelBar);
    FPanelBar->hide();
    QAction* show = actions[TAct::actShowOfflineMode];
    show->setChecked(false);
    connect(show, &QAction::toggled, FPanelBar, &QWidget::setVisible);
    connect(FPanelBar, &QToolBar::visibilityChanged, show, [show, this](bool visible) {
        // hidden with its window (the main window closing) it stays asked for
        if (!FMain->isVisible()) return;
        show->setChecked(visible);
    });

    auto on = [&](TAct id, void (TDeviceWindows::*f)()) {
        connect(actions[id], &QAction::triggered, this, [this, f] { (this->*f)(); });
    };
    on(TAct::actOfflineModeToogle, &TDeviceWindows::ActivateAutonomous);
    on(TAct::actOfflineModeStop, &TDeviceWindows::StopAutonomous);
    on(TAct::actOfflineDataGet, &TDeviceWindows::TransferRecordedData);
    on(TAct::actOfflineModeFlash, &TDeviceWindows::FormatFlash);
    on(TAct::actOfflineModeErase, &TDeviceWindows::EraseRecordedData);
    connect(actions[TAct::actCommunicationWindow], &QAction::triggered, this,
            [this] { OpenCommunication(); });
    connect(actions[TAct::actDebugWindow], &QAction::triggered, this, [this] { OpenDebug(); });
    connect(actions[TAct::actDeviceMessageWindow], &QAction::triggered, this,
            [this] { OpenDeviceMessages(); });
}

TfCommunicationForm* TDeviceWindows::OpenCommunication() {
    if (!FCommunication) FCommunication = new TfCommunicationForm(FSession, FMain);
    return Front(FCommunication.data());
}

TfDebugOutputForm* TDeviceWindows::OpenDebug() {
    if (!FDebug) FDebug = new TfDebugOutputForm(FSession, TfDebugOutputForm::TKind::Debug, FMain);
    return Front(FDebug.data());
}

TfDebugOutputForm* TDeviceWindows::OpenDeviceMessages() {
    // a modal window blocks every window but its own: the messages open
    // over it while it is up
    QWidget* owner = FMain;
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) owner = modal;
    if (!FMessages)
        FMessages =
            new TfDebugOutputForm(FSession, TfDebugOutputForm::TKind::DeviceMessages, owner);
    else if (FMessages->parentWidget() != owner)
        FMessages->setParent(owner, FMessages->windowFlags());
    if (owner != FMain) {
        QPointer<TfDebugOutputForm> messages = FMessages;
        // back to the main window before the modal window goes
        connect(static_cast<QDialog*>(owner), &QDialog::finished, this, [this, messages] {
            if (!messages || messages->parentWidget() == FMain) return;
            const bool shown = messages->isVisible();
            messages->setParent(FMain, messages->windowFlags());
            if (shown) messages->show();
        }, Qt::SingleShotConnection);
    }
    return Front(FMessages.data());
}

void TDeviceWindows::AddOpenWindowsTo(QMenu* menu) {
    QList<QWidget*> open;
    for (QWidget* w : {static_cast<QWidget*>(FCommunication.data()),
                       static_cast<QWidget*>(FDebug.data()), static_cast<QWidget*>(FMessages.data())})
        if (w && w->isVisible()) open << w;
    if (open.isEmpty()) return;
    menu->addSeparator();
    for (QWidget* w : open) {
        QAction* a = menu->addAction(
            QString(w->windowTitle()).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(a, &QAction::triggered, w, [w] { Front(w); });
    }
}

void TDeviceWindows::ActivateAutonomous() {
    if (!FSession.Controller()) return;
    FSession.SendAutonomous(Cmd::AutonomousRecording(true));
    QMessageBox::information(FMain, Tr("Autonomen Modus aktivieren"),
                             TrLines(AutonomousTexts::kActivated));
}

void TDeviceWindows::StopAutonomous() {
    if (!FSession.Controller()) return;
    FSession.SendAutonomous(Cmd::AutonomousRecording(false));
    if (QMessageBox::question(FMain, Tr("Autonomes Aufzeichnen beenden"),
                              TrLines(AutonomousTexts::kStopped),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        TransferRecordedData();
}

void TDeviceWindows::TransferRecordedData() {
    if (!FSession.Controller()) return;
    // the stored telegrams arrive as ordinary captures: the monitor records them
    if (IMainWindow* main = MainWindowOf(FMain); main && !FSession.Recording())
        main->ShowMonitor(false);
    FSession.Connection().UpdateDeviceStatusDisplay();
    FSession.SendAutonomous(Cmd::TransferRecordedData());
}

void TDeviceWindows::FormatFlash() {
    if (!FSession.Controller()) return;
    FSession.SendAutonomous(Cmd::FormatRecordingFlash());
    QMessageBox::information(FMain, Tr("Flash formatieren"),
                             TrLines(AutonomousTexts::kFormatted));
    FSession.SendAutonomous(Cmd::QueryRecordCount());
}

void TDeviceWindows::EraseRecordedData() {
    if (!FSession.Controller()) return;
    FSession.SendAutonomous(Cmd::EraseRecordedData());
    QMessageBox::information(FMain, Tr("Aufgezeichnete Daten löschen"),
                             TrLines(AutonomousTexts::kErased));
    FSession.SendAutonomous(Cmd::QueryRecordCount());
}

} // namespace vaskel
