#include "ui/device/DebugOutputForm.h"

#include "platform/QtFiles.h"
#include "platform/QtText.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace vaskel {

TfDebugOutputForm::TfDebugOutputForm(TSession& session, TKind kind, QWidget* parent)
    // a tool window: it stays above the window it belongs to when that one
    // is clicked, instead of getting lost behind it
    : QWidget(parent, Qt::Tool), FSession(session), FKind(kind) {
    SetHelpContext(this, help::kDebugOutput);
    setAttribute(Qt::WA_DeleteOnClose);
    const bool debug = kind == TKind::Debug;
    setObjectName(debug ? QStringLiteral("TfDebugForm") : QStringLiteral("TfDeviceMessageForm"));
    setWindowTitle(Tr(debug ? "Debug-Fenster" : "Gerätemeldungen (Debugausgabe)"));
    resize(640, 420);

    FLog = new QPlainTextEdit;
    FLog->setObjectName(QStringLiteral("mLog"));
    FLog->setReadOnly(true);
    FLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    FLog->setMaximumBlockCount(kMaxLines);
    FLog->setFont(QFont(QStringLiteral("Monospace")));

    auto* buttons = new QHBoxLayout;
    auto logButton = [&](const char* name, const char* german) {
        auto* b = new QPushButton;
        b->setObjectName(QLatin1String(name));
        SetDe(b, german);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* clear = logButton("btClear", "Löschen");
    QPushButton* mark = logButton("btMark", debug ? "Markieren" : "Marker setzen");
    QPushButton* save = logButton("btSave", "Speichern");
    if (!debug) FPause = logButton("btPause", "Pause");
    buttons->addStretch(1);

    auto* v = new QVBoxLayout(this);
    v->addLayout(buttons);
    v->addWidget(FLog, 1);

    connect(clear, &QPushButton::clicked, FLog, &QPlainTextEdit::clear);
    connect(mark, &QPushButton::clicked, this, [this] { AddMarker(); });
    connect(save, &QPushButton::clicked, this, [this] { SaveAsked(); });
    if (FPause) connect(FPause, &QPushButton::clicked, this, [this] { SetPaused(!FPaused); });

    if (debug) {
        connect(&FSession, &TSession::DebugLine, this, [this](const QString& l) { AddLine(l); });
        FSession.WatchDebug(true);
    } else {
        connect(&FSession, &TSession::DeviceMessage, this,
                [this](const QString& l) { AddLine(l); });
        FSession.WatchDeviceMessages(true);
    }
}

TfDebugOutputForm::~TfDebugOutputForm() {
    if (FKind == TKind::Debug)
        FSession.WatchDebug(false);
    else
        FSession.WatchDeviceMessages(false);
}

QPushButton* TfDebugOutputForm::Button(const char* objectName) const {
    return findChild<QPushButton*>(QLatin1String(objectName));
}

void TfDebugOutputForm::SetPaused(bool paused) {
    FPaused = paused;
    if (FPause) SetDe(FPause, paused ? "Weiter" : "Pause");
}

void TfDebugOutputForm::AddLine(const QString& line) {
    if (FPaused) return;
    // the user's selection (and so the cursor) stays where it is; the view
    // follows the end only while it is at the end
    const QTextCursor kept = FLog->textCursor();
    QScrollBar* bar = FLog->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const int keptScroll = bar->value();
    FLog->appendPlainText(line);
    if (kept.hasSelection()) FLog->setTextCursor(kept);
    bar->setValue(atEnd ? bar->maximum() : keptScroll);
}

void TfDebugOutputForm::AddMarker() {
    const bool paused = FPaused;
    FPaused = false;
    AddLine(QString(67, QLatin1Char('-')));
    FPaused = paused;
}

void TfDebugOutputForm::SaveAsked() {
    TFileDialogSpec spec;
    spec.Save = true;
    spec.Title = QStringLiteral("Debuglog speichern");
    spec.Folder = FromFileName(FSession.Env().ProgramDirectory());
    // a program folder the user cannot write to: the data folder instead
    if (!QFileInfo(spec.Folder).isWritable())
        spec.Folder = FromFileName(FSession.Env().DataDirectory());
    spec.Filters = {QStringLiteral("Debuglog"), QStringLiteral("*.LOG")};
    spec.DefaultSuffix = QStringLiteral("LOG");
    const QString file = AskSaveFile ? AskSaveFile(spec) : AskFile(this, spec);
    if (file.isEmpty()) return;
    std::string text;
    for (QTextBlock b = FLog->document()->begin(); b.isValid(); b = b.next()) {
        if (b == FLog->document()->begin() && !b.next().isValid() && b.text().isEmpty()) break;
        text += ToCp1252(b.text()) + "\r\n";
    }
    if (const QString why = SaveFileSafely(file, text); !why.isEmpty())
        QMessageBox::warning(this, Tr("Debuglog speichern"),
                             Tr("Die Datei konnte nicht geschrieben werden.") +
                                 QStringLiteral("\n") + why);
}

void TfDebugOutputForm::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) setWindowTitle(Tr(FKind == TKind::Debug ? "Debug-Fenster" : "Gerätemeldungen (Debugausgabe)"));
}

} // namespace vaskel
