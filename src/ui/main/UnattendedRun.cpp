#include "ui/main/UnattendedRun.h"

#include "platform/QtText.h"
#include "shell/Environment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <iostream>

namespace vaskel {

TUnattendedRun::TUnattendedRun(TEnvironment& env) : FEnv(env) {
    qApp->installEventFilter(this);
}

TUnattendedRun::~TUnattendedRun() {
    qApp->removeEventFilter(this);
}

bool TUnattendedRun::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Show)
        if (auto* box = qobject_cast<QMessageBox*>(watched)) BoxShown(box);
    return QObject::eventFilter(watched, e);
}

void TUnattendedRun::BoxShown(QMessageBox* box) {
    QString text = box->text();
    if (!box->informativeText().isEmpty()) text += QLatin1Char('\n') + box->informativeText();
    Fail(text);
    // answered as its escape button would, once its own loop runs
    QPointer<QMessageBox> p(box);
    QTimer::singleShot(0, box, [p] {
        if (!p) return;
        if (QAbstractButton* b = p->escapeButton()) {
            b->click();
            return;
        }
        for (QAbstractButton* b : p->buttons()) {
            const auto role = p->buttonRole(b);
            if (role == QMessageBox::RejectRole || role == QMessageBox::NoRole) {
                b->click();
                return;
            }
        }
        p->reject();
    });
}

void TUnattendedRun::Note(const QString& message) {
    QString lines = message.trimmed();
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\n'), QLatin1String("\nvaskel: "));
    const QString line = QStringLiteral("vaskel: ") + lines;
    if (Write)
        Write(line);
    else
        std::cerr << line.toLocal8Bit().toStdString() << std::endl;
    // the error report keeps it with the run's history
    TDebugClass& report = FEnv.Debugger();
    report.AddAction("Unbeaufsichtigter Lauf", ToCp1252(message));
    report.WriteErrorReport(ToCp1252(message));
}

void TUnattendedRun::Report(const QString& message) {
    FFailed = true;
    Note(message);
}

void TUnattendedRun::Fail(const QString& message) {
    Report(message);
    if (FEnding || !End) return;
    FEnding = true;
    // after the code that raised it has gone on
    QTimer::singleShot(0, this, [this] { End(); });
}

QString TUnattendedRun::SaveTargetProblem(const QString& file) {
    const QFileInfo info(file);
    if (info.isDir()) return file + QStringLiteral(" is a folder");
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) return QStringLiteral("the folder ") + info.absolutePath() +
                                QStringLiteral(" does not exist");
    QFile f(file);
    if (info.exists()) {
        // opened to append: nothing of it changes
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return file + QStringLiteral(" cannot be written: ") + f.errorString();
        f.close();
        return {};
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file + QStringLiteral(" cannot be written: ") + f.errorString();
    f.close();
    f.remove();
    return {};
}

} // namespace vaskel
