#include "ui/main/DirectInputBox.h"

#include "platform/QtText.h"
#include "shell/Timers.h"
#include "simulation/DirectInput.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/compose/ComposerForm.h"
#include "ui/widgets/BalloonHint.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TDirectInputBox::TDirectInputBox(TSession& session, QObject* parent)
    : QObject(parent), FSession(session) {
    FInput = new QComboBox;
    FInput->setEditable(true);
    FInput->setObjectName(T("edDirekteingabe"));
    FInput->setInsertPolicy(QComboBox::NoInsert);
    FInput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const std::string& h : HistoryFromSetting(FSession.Env().Aufrufe()))
        FInput->addItem(FromCp1252(h));
    FInput->setCurrentText(QString());
    FSend = new QPushButton;
    SetDe(FSend, "Senden", "Telegramm der Direkteingabe versenden.");
    FSend->setObjectName(T("btSendDirect"));
    FRecord = new QLabel;
    FRecord->setObjectName(T("lblDirekteingabeDS"));
    FRecord->setMinimumWidth(44);
    FCheck = new QLabel;
    FCheck->setObjectName(T("lblDirekteingabeAnalyse"));
    FCheck->setMinimumWidth(70);
    FCheck->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FInput->setMinimumWidth(120);
    FDetail = new QPushButton;
    FDetail->setObjectName(T("btnDS21_3a"));
    SetDe(FDetail, "Detaileingabe ...");
    SetDeHint(FDetail, "Ziel- und Innenanzeigentexte (003a, 003c, 004c, 021, 021a) Zeile "
                       "für Zeile eingeben");
    // the record composer: its telegram replaces the text of the field
    connect(FDetail, &QPushButton::clicked, this, [this] {
        QPointer<QComboBox> input = FInput;
        TfComposerForm::OpenFor(FDetail->window(), FInput->currentText(),
                                          [input](const QString& entry) {
                                              if (!input) return;
                                              input->setCurrentText(entry);
                                              input->lineEdit()->setFocus();
                                          });
    });
    // the IBIS-hex digits 10 to 15 from the context menu
    FInput->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FInput->lineEdit(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                QMenu menu;
                for (const QString& entry : IbisHexMenuEntries())
                    menu.addAction(entry);
                if (QAction* a = menu.exec(FInput->lineEdit()->mapToGlobal(at)))
                    InsertIbisHexDigit(a->text().at(1));
            });
    // a double click offers the examples of the master record types
    FInput->lineEdit()->installEventFilter(this);
    FInput->installEventFilter(this);
    connect(FSend, &QPushButton::clicked, this, [this] { Send(false); });
    // Enter sends too; the text field keeps the focus for the next telegram
    connect(FInput->lineEdit(), &QLineEdit::returnPressed, this, [this] { Send(true); });
    // typing (it comes before the change itself) tells the check that the
    // text is the user's own
    connect(FInput->lineEdit(), &QLineEdit::textEdited, this, [this] { FTypedByHand = true; });
    connect(FInput, &QComboBox::editTextChanged, this, [this] { LiveCheck(); });
}

void TDirectInputBox::SetSendEnabled(bool on) {
    FSend->setEnabled(on);
}

void TDirectInputBox::LiveCheck() {
    const bool byHand = std::exchange(FTypedByHand, false);
    if (!FInput->isEnabled()) {
        // no record type without a text to check
        SetDe(FDetail, "Detaileingabe ...");
        return;
    }
    const std::string typed = ToCp1252(FInput->currentText());
    std::string bytes;
    try {
        bytes = DisplayToTelegram(typed);
    } catch (const EConversionError&) {
        bytes = typed;
    }
    const TLiveCheck c =
        vaskel::LiveCheck(typed, FSession.Parser().Classify(bytes, true, FSession.Env().BusType()));
    FRecord->setText(FromCp1252(c.RecordCaption));
    const QString record = FromCp1252(c.RecordNo), pattern = FromCp1252(c.Pattern);
    const QString typeHint =
        Tr("Datensatz %1 ist ein Slavetelegramm und sollte nicht von einem Master versendet "
           "werden.")
            .arg(record);
    const QString syntaxHint =
        Tr("Das eingegebene Telegramm entspricht nicht dem Aufbau [%1] eines Datensatzes %2.")
            .arg(pattern, record);
    QString caption, hint = FCheck->toolTip(), colour;
    switch (c.Verdict) {
    case TLiveCheck::Fine:
        caption = Tr("Fehlerfrei");
        hint = Tr("Das eingegebene Telegramm ist syntaktisch korrekt.");
        colour = T("#007000");
        break;
    case TLiveCheck::TypeError:
        caption = Tr("Typfehler");
        hint = typeHint;
        colour = T("#A06000");
        break;
    case TLiveCheck::SyntaxError:
        caption = Tr("Syntaxfehler");
        hint = syntaxHint;
        colour = T("#C00000");
        break;
    case TLiveCheck::SyntaxAndTypeError:
        caption = Tr("Syntax- und Typfehler");
        hint = T("1) ") + syntaxHint + T("\n2) ") + typeHint;
        colour = T("#C00000");
        break;
    case TLiveCheck::Unknown:
        caption = Tr("Unbekannter Datensatz");
        hint = Tr("Es ist kein Telegrammmuster bekannt, mit dem die Eingabe übereinstimmen würde.");
        colour = T("#C00000");
        break;
    case TLiveCheck::Empty:
        break;
    }
    FCheck->setText(caption);
    FCheck->setToolTip(hint);
    // the caption stays with the language when it changes
    const char* detail = "Detaileingabe ...";
    for (const char* caption : {"DS 003a ...", "DS 003c ...", "DS 021 ...", "DS 004c ...",
                                "DS 021a ..."})
        if (c.DetailCaption == caption) detail = caption;
    SetDe(FDetail, detail);
    // one warning per record type that has its own composer, when the user
    // types such a record by hand
    const std::pair<const char*, THint> warned[] = {{"003a", THint::DS003aHintGiven},
                                                    {"003c", THint::DS003cHintGiven},
                                                    {"021", THint::DS021HintGiven}};
    for (const auto& [no, flag] : warned)
        if (byHand && c.RecordNo == no && typed.size() > 2 && !FSession.Env().HintGiven(flag)) {
            FSession.Env().SetHintGiven(flag);
            FLastWarning =
                Tr("Sie sollten die Datensätze 003a, 003c, 004c, 021 und 021a nicht direkt "
                   "editieren.") +
                T("\n") +
                Tr("Diese Datensätze benötigen ein spezielles Format, um gültig zu sein.") +
                T("\n") + Tr("Nutzen Sie dazu den Datensatz-Editor des Programms.");
            // it stays until it is closed or another one takes its place
            TBalloonHint::Show(FDetail, FDetail->rect().center(), TBalloonHint::TIcon::Warning,
                               Tr("Warnung"), FLastWarning, 0);
        }
    FCheck->setStyleSheet(colour.isEmpty() ? QString() : T("color: ") + colour);
}

QStringList TDirectInputBox::IbisHexMenuEntries() {
    QStringList entries;
    const char digits[] = ":;<=>?";
    for (int k = 0; k < 6; ++k)
        entries << QStringLiteral("\"%1\" - %2").arg(QLatin1Char(digits[k])).arg(10 + k);
    return entries;
}

void TDirectInputBox::InsertIbisHexDigit(QChar digit) {
    QLineEdit* e = FInput->lineEdit();
    e->insert(QString(digit)); // replaces the selection, the caret after it
}

void TDirectInputBox::ShowRecordTypeExamples() {
    QMenu menu;
    for (const TWagenbusProfileRecord& r : *FSession.Parser().ProfileArray())
        if (r.Master && !r.Example.empty()) menu.addAction(FromCp1252(r.Example));
    if (menu.isEmpty()) return;
    if (QAction* a = menu.exec(FInput->mapToGlobal(QPoint(0, FInput->height()))))
        FInput->setCurrentText(a->text());
}

void TDirectInputBox::Send(bool fromEnter) {
    if (FBusy) {
        QApplication::beep();
        return;
    }
    FBusy = true;
    if (IMainWindow* main = MainWindowOf(this); main && !FSession.Recording())
        main->ShowMonitor(false);
    FSend->setEnabled(false);
    const std::string text =
        ExpandDirectInput(ToCp1252(FInput->currentText()), TSystemClock().Now());
    if (!text.empty()) {
        std::vector<std::string> history;
        for (int k = 0; k < FInput->count(); ++k)
            history.push_back(ToCp1252(FInput->itemText(k)));
        if (AddToHistory(history, text)) {
            FInput->blockSignals(true);
            FInput->clear();
            for (const std::string& h : history)
                FInput->addItem(FromCp1252(h));
            FInput->setCurrentText(FromCp1252(history.front()));
            FInput->blockSignals(false);
            FSession.Env().SetAufrufe(HistoryToSetting(history));
            // the field may show another text now (an expanded "u", "d")
            LiveCheck();
        }
        FSession.PlaceDirectCall(text);
    }
    // a monitor opened for the send takes the focus: after Enter, what is
    // typed next belongs to the text field
    if (fromEnter) FInput->setFocus();
    // the button stays blocked for half a second
    QTimer::singleShot(500, this, [this, fromEnter] {
        FSend->setEnabled(FSession.Status().Master());
        if (fromEnter)
            FInput->setFocus();
        else
            FSend->setFocus();
        FBusy = false;
    });
}

bool TDirectInputBox::eventFilter(QObject* watched, QEvent* e) {
    const bool directInput = FInput && (watched == FInput || watched == FInput->lineEdit());
    if (directInput && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->modifiers() & Qt::ControlModifier) && k->key() >= Qt::Key_0 &&
            k->key() <= Qt::Key_9) {
            FCtrlDigits += QChar(static_cast<char16_t>('0' + (k->key() - Qt::Key_0)));
            return true;
        }
    }
    if (directInput && e->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Control && !FCtrlDigits.isEmpty()) {
        // the character with that code, as the umlaut display shows it
        const int code = FCtrlDigits.left(3).toInt() & 0xFF;
        FCtrlDigits.clear();
        const std::string shown = TelegramToUmlautDisplay(std::string(1, static_cast<char>(code)));
        FTypedByHand = true;
        FInput->setCurrentText(FInput->currentText() + FromCp1252(shown));
        FInput->lineEdit()->end(false);
        return true;
    }
    if (FInput && watched == FInput->lineEdit() && e->type() == QEvent::MouseButtonDblClick) {
        // the list runs an event loop of its own: it opens after this event,
        // not inside the text field's double click
        QMetaObject::invokeMethod(this, [this] { ShowRecordTypeExamples(); }, Qt::QueuedConnection);
        return true;
    }
    return QObject::eventFilter(watched, e);
}

} // namespace vaskel
