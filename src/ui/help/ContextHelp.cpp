#include "ui/help/ContextHelp.h"

#include "ui/common/Texts.h"
#include "ui/help/HelpWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QWhatsThis>

namespace vaskel {

namespace {

// The numbers and the manual's identifiers of its windows (docs/manual/LANG/
// index.md, first column).
struct TContextId {
    int Context;
    const char* Id;
};
constexpr TContextId kContextIds[] = {
    {help::kMainWindow, "TfMainForm"},
    {help::kHexConverter, "TfHexConverterForm"},
    {help::kSettings, "Tfrm_Einstellungen"},
    {help::kProtocol, "TfProtocolForm"},
    {help::kMonitor, "TfMonitorForm"},
    {help::kProtocolToolBar, "TfBaseProtocolForm"},
    {help::kDetailError, "DetailPanel"},
    {help::kDetailInformation, "DetailPanel"},
    {help::kFilter, "TfFilter"},
    {help::kStatistics, "TfStatisticsForm"},
    {help::kPrintNote, "TfPrintInfomation"},
    {help::kPrintPreview, "TfPreviewForm"},
    {help::kComposer, "TfComposerForm"},
    {help::kRecordChoice, "TfRecordChoiceDialog"},
    {help::kListEditor, "TfBaseEditForm"},
    {help::kCallList, "TfAufrufListenForm"},
    {help::kResponseList, "TfAntwortListenForm"},
    {help::kAddressTranslation, "TfAddressForm"},
    {help::kRecordTypes, "TfDatensatzForm"},
    {help::kFirmwareUpload, "TfUploadProgramForm"},
    {help::kCommunication, "TfCommunicationForm"},
    {help::kDebugOutput, "TfDebugOutputForm"},
    {help::kAutonomous, "TAutonomousPanel"},
};

TContextHelp* GHelp = nullptr;

TContextHelp& Instance() {
    if (!GHelp) {
        GHelp = new TContextHelp;
        GHelp->setParent(qApp);
    }
    return *GHelp;
}

bool IsKey(const QEvent* e, Qt::KeyboardModifiers modifiers) {
    const auto* k = static_cast<const QKeyEvent*>(e);
    return k->key() == Qt::Key_F1 &&
           (k->modifiers() & ~Qt::KeypadModifier) == modifiers;
}

// What "Was ist das?" says about a control: its own text, else its hint, or
// the hint of what it is part of (a table's viewport: the table's).
QString HintOf(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (!w->whatsThis().isEmpty()) return w->whatsThis();
        if (!w->toolTip().isEmpty()) return w->toolTip();
        if (const auto* b = qobject_cast<const QToolButton*>(w); b && b->defaultAction())
            if (!b->defaultAction()->toolTip().isEmpty()) return b->defaultAction()->toolTip();
        if (!w->statusTip().isEmpty()) return w->statusTip();
        if (w->isWindow()) break;
    }
    return {};
}

QString LanguageCode(int language) {
    return language == 2 ? QStringLiteral("en") : QStringLiteral("de");
}

// A message about the help, shown after the key or click that asked has
// been handled.
void TellLater(const QString& text) {
    QTimer::singleShot(0, qApp, [text] {
        QMessageBox::information(QApplication::activeWindow(), Tr("Vaskel Hilfe"), text);
    });
}

// The collection of a language in the working folder, copied there when the
// built one is newer: the help engine writes beside its collection (the
// search index), and the installed one may not be written to.
QString WorkingCopy(const QString& collections, const QString& work, int language,
                    QString& problem) {
    const QString base = QStringLiteral("vaskel-") + LanguageCode(language);
    const QDir from(collections);
    const QFileInfo qhc(from.filePath(base + QStringLiteral(".qhc")));
    const QFileInfo qch(from.filePath(base + QStringLiteral(".qch")));
    if (collections.isEmpty() || !qhc.isFile() || !qch.isFile()) {
        problem = Tr("Das Handbuch wurde nicht gefunden:") + QLatin1Char('\n') +
                  (collections.isEmpty() ? base + QStringLiteral(".qhc") : qhc.filePath());
        return {};
    }
    const QDir to(work);
    const QFileInfo copied(to.filePath(base + QStringLiteral(".qch")));
    const QString collection = to.filePath(base + QStringLiteral(".qhc"));
    if (copied.isFile() && copied.size() == qch.size() &&
        copied.lastModified() >= qch.lastModified() && QFileInfo::exists(collection))
        return collection;
    if (!QDir().mkpath(work)) {
        problem = Tr("Der Ordner für die Hilfe kann nicht angelegt werden:") + QLatin1Char('\n') +
                  work;
        return {};
    }
    // the search index of an older manual goes with it
    QDir(to.filePath(QStringLiteral(".") + base)).removeRecursively();
    for (const QFileInfo& f : {qhc, qch}) {
        const QString target = to.filePath(f.fileName());
        QFile::remove(target);
        if (!QFile::copy(f.filePath(), target)) {
            problem = Tr("Die Hilfe kann nicht kopiert werden nach:") + QLatin1Char('\n') + target;
            return {};
        }
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther);
    }
    return collection;
}

} // namespace

QString HelpIdOf(int context) {
    for (const TContextId& c : kContextIds)
        if (c.Context == context) return QLatin1String(c.Id);
    return {};
}

void TContextHelp::SetFolders(const QString& collections, const QString& work) {
    TContextHelp& h = Instance();
    h.FCollections = collections;
    h.FWork = work;
}

QString TContextHelp::FindCollections(const QString& programDir) {
    const QDir dir(programDir);
    for (const QString& candidate :
         {dir.filePath(QStringLiteral("help")), dir.filePath(QStringLiteral("../share/vaskel/help"))})
        if (QFileInfo::exists(candidate + QStringLiteral("/vaskel-de.qhc")))
            return QDir::cleanPath(candidate);
    return {};
}

void TContextHelp::Install() {
    qApp->installEventFilter(&Instance());
}

THelpWindow* TContextHelp::Open() {
    TContextHelp& h = Instance();
    const int language = UiLanguage() == 2 ? 2 : 1;
    // the manual speaks the program's language
    if (h.FWindow && h.FWindow->Language() != language) delete h.FWindow.data();
    if (!h.FWindow) {
        QString work = h.FWork;
        if (work.isEmpty())
            work = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                   QStringLiteral("/help");
        QString problem;
        const QString collection = WorkingCopy(h.FCollections, work, language, problem);
        if (collection.isEmpty()) {
            TellLater(problem);
            return nullptr;
        }
        auto* w = new THelpWindow(collection, language);
        if (!w->Problem().isEmpty()) {
            TellLater(Tr("Die Hilfe kann nicht geöffnet werden:") + QLatin1Char('\n') +
                      w->Problem());
            delete w;
            return nullptr;
        }
        h.FWindow = w;
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != h.FWindow)
        h.FollowModal(modal);
    h.FWindow->show();
    h.FWindow->raise();
    h.FWindow->activateWindow();
    return h.FWindow;
}

void TContextHelp::FollowModal(QWidget* modal) {
    if (FWindow->parentWidget() == modal) return;
    const QRect frame = FWindow->geometry();
    FWindow->setParent(modal, Qt::Window);
    if (frame.isValid()) FWindow->setGeometry(frame);
    if (FModal) FModal->removeEventFilter(this);
    FModal = modal;
    modal->installEventFilter(this);
}

void TContextHelp::ShowContents() {
    if (THelpWindow* w = Open()) {
        w->ShowStart();
        w->ShowTab(THelpWindow::TTab::Contents);
    }
}

void TContextHelp::ShowContext(int context) {
    THelpWindow* w = Open();
    if (!w) return;
    const QString id = HelpIdOf(context);
    if (id.isEmpty() || !w->ShowId(id)) w->ShowStart();
    w->ShowTab(THelpWindow::TTab::Contents);
}

void TContextHelp::ShowFor(const QWidget* w) {
    ShowContext(HelpContextOf(w));
}

THelpWindow* TContextHelp::Window() {
    return GHelp ? GHelp->FWindow.data() : nullptr;
}

void TContextHelp::CloseWindow() {
    if (GHelp && GHelp->FWindow) delete GHelp->FWindow.data();
}

QString TContextHelp::LastHint() {
    return GHelp ? GHelp->FLastHint : QString();
}

bool TContextHelp::eventFilter(QObject* o, QEvent* e) {
    switch (e->type()) {
    case QEvent::ShortcutOverride:
        // F1 and Shift+F1 belong to the help in every window: no shortcut
        // takes them first
        if (IsKey(e, Qt::NoModifier) || IsKey(e, Qt::ShiftModifier)) {
            e->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (!o->isWidgetType()) break;
        if (IsKey(e, Qt::NoModifier)) {
            ShowFor(static_cast<QWidget*>(o));
            return true;
        }
        if (IsKey(e, Qt::ShiftModifier)) {
            QWhatsThis::enterWhatsThisMode();
            return true;
        }
        break;
    case QEvent::QueryWhatsThis:
        if (o->isWidgetType() && !HintOf(static_cast<QWidget*>(o)).isEmpty()) {
            e->accept();
            return true;
        }
        break;
    case QEvent::WhatsThis:
        if (o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            const QString hint = HintOf(w);
            if (!hint.isEmpty()) {
                FLastHint = hint;
                QWhatsThis::showText(static_cast<QHelpEvent*>(e)->globalPos(), hint, w);
                e->accept();
                return true;
            }
        }
        break;
    case QEvent::Hide:
        // the modal dialog the help window belonged to closes: the window
        // stays open on its own
        if (o == FModal && FWindow && FWindow->parentWidget() == FModal) {
            const bool shown = FWindow->isVisible();
            const QRect frame = FWindow->geometry();
            FWindow->setParent(nullptr, Qt::Window);
            FWindow->setGeometry(frame);
            if (shown) FWindow->show();
            FModal->removeEventFilter(this);
            FModal = nullptr;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(o, e);
}

} // namespace vaskel
