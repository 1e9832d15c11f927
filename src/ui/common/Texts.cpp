#include "ui/common/Texts.h"

#include "platform/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QTranslator>
#include <QVariant>
#include <QWidget>

namespace vaskel {

namespace {

int gLanguage = 1;
bool gInstalled = false;

// The context of every text in translations/vaskel_en.ts.
constexpr char kContext[] = "Vaskel";

// The English texts, compiled into the program as a resource.
QTranslator& EnglishTexts() {
    static QTranslator translator;
    static const bool loaded = translator.load(QStringLiteral(":/i18n/vaskel_en.qm"));
    if (!loaded) qWarning("Vaskel: the English texts are missing from the program.");
    return translator;
}

// Qt's own texts (file dialogs, the buttons of message boxes) in the
// language of the program; null when Qt has none for it on this machine.
QTranslator* QtTexts(int language) {
    static QTranslator german;
    static const bool loaded = german.load(QStringLiteral("qtbase_de"),
                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return language == 1 && loaded ? &german : nullptr;
}

} // namespace

void SetUiLanguage(int language) {
    gLanguage = language;
    if (!QCoreApplication::instance()) return;
    static QTranslator* qtInstalled = nullptr;
    if (QTranslator* qt = QtTexts(language); qt != qtInstalled) {
        if (qtInstalled) QCoreApplication::removeTranslator(qtInstalled);
        if (qt) QCoreApplication::installTranslator(qt);
        qtInstalled = qt;
    }
    // Installed, the English texts reach Qt's own look-up too.
    const bool english = language == 2;
    if (english == gInstalled) return;
    if (english)
        gInstalled = QCoreApplication::installTranslator(&EnglishTexts());
    else
        gInstalled = !QCoreApplication::removeTranslator(&EnglishTexts());
}
int UiLanguage() {
    return gLanguage;
}

QString English(const QString& german) {
    return EnglishTexts().translate(kContext, german.toUtf8().constData());
}

QString Tr(const QString& german) {
    if (gLanguage != 2) return german;
    const QString english = English(german);
    return english.isNull() ? german : english;
}

QString Tr(const char* germanUtf8) {
    if (gLanguage != 2) return QString::fromUtf8(germanUtf8);
    const QString english = EnglishTexts().translate(kContext, germanUtf8);
    return english.isNull() ? QString::fromUtf8(germanUtf8) : english;
}

QString TrLines(const std::string& german) {
    QStringList out;
    for (const QString& line : FromCp1252(german).split(QStringLiteral("\r\n")))
        out << Tr(line);
    return out.join(QLatin1Char('\n'));
}

void SetDe(QObject* o, const char* german, const char* germanHint) {
    o->setProperty("deText", QString::fromUtf8(german));
    if (germanHint) o->setProperty("deHint", QString::fromUtf8(germanHint));
    Retranslate(o);
}

namespace {

void Apply(QObject* o) {
    const QVariant text = o->property("deText");
    const QVariant hint = o->property("deHint");
    if (!text.isValid()) {
        // a hint alone
        if (auto* w = qobject_cast<QWidget*>(o); w && hint.isValid())
            w->setToolTip(Tr(hint.toString()));
        return;
    }
    const QString t = Tr(text.toString());
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setText(t);
        if (hint.isValid()) {
            a->setToolTip(Tr(hint.toString()));
            a->setStatusTip(Tr(hint.toString()));
        }
        return;
    }
    if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(t);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(t);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(t);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(t);
    }
    if (auto* w = qobject_cast<QWidget*>(o); w && hint.isValid()) w->setToolTip(Tr(hint.toString()));
}

} // namespace

void SetDeHint(QObject* o, const char* germanHint) {
    o->setProperty("deHint", QString::fromUtf8(germanHint));
    Apply(o);
}

void Retranslate(QObject* root) {
    Apply(root);
    for (QObject* o : root->findChildren<QObject*>())
        Apply(o);
}

} // namespace vaskel
