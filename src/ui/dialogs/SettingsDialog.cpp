#include "ui/dialogs/SettingsDialog.h"

#include "platform/QtText.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace vaskel {

namespace {

const char* const kFolderTitle = "Wählen Sie das Verzeichnis für %s aus.";
const char* const kFolderFailed[3] = {
    "Das angegebene Verzeichnis: \r\n@@\r\nfür das Speichern von Protokollen konnte nicht "
    "angelegt werden.\r\nEs wird das alte Verzeichnis weiter verwendet!",
    "Das angegebene Verzeichnis:\r\n@@\r\nfür das Speichern von Antwortlisten konnte nicht "
    "angelegt werden.\r\nEs wird das alte Verzeichnis weiter verwendet!",
    "Das angegebene Verzeichnis:\r\n@@\r\nfür das Speichern von Aufruflisten konnte nicht "
    "angelegt werden.\r\nEs wird das alte Verzeichnis weiter verwendet!"};

QString Lines(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

} // namespace

QString Tfrm_Einstellungen::LanguageFile(const TEnvironment& env) {
    return FromFileName(env.ProgramDirectory()) + QStringLiteral("vaskel.INI");
}

QStringList Tfrm_Einstellungen::Languages(const TEnvironment& env) {
    QStringList names{QStringLiteral("Deutsch"), QStringLiteral("English")};
    const QString file = LanguageFile(env);
    if (!QFileInfo::exists(file)) return names;
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Sprachen"));
    for (int k = 3;; ++k) {
        const QString name = ini.value(QString::number(k)).toString();
        if (name.isEmpty()) break;
        names << name;
    }
    return names;
}

Tfrm_Einstellungen::Tfrm_Einstellungen(TEnvironment& env, THooks hooks, QWidget* parent)
    : QDialog(parent), FEnv(env), FHooks(std::move(hooks)) {
    SetHelpContext(this, help::kSettings);
    setObjectName(QStringLiteral("frm_Einstellungen"));
    setWindowTitle(Tr("Einstellungen"));
    auto* layout = new QVBoxLayout(this);

    auto* general = new QGroupBox;
    SetDe(general, "Allgemein");
    auto* g = new QGridLayout(general);
    auto* languageLabel = new QLabel;
    SetDe(languageLabel, "Sprache:");
    cbLanguage = new QComboBox;
    cbLanguage->setObjectName(QStringLiteral("cbLanguage"));
    cbLanguage->addItems(Languages(env));
    cbLanguage->setCurrentIndex(std::clamp(env.Language() - 1, 0, cbLanguage->count() - 1));
    btNewLanguage = new QPushButton;
    btNewLanguage->setObjectName(QStringLiteral("btNewLanguage"));
    SetDe(btNewLanguage, "Neue Sprache anlegen");
    btNewLanguage->hide();
    g->addWidget(languageLabel, 0, 0);
    g->addWidget(cbLanguage, 0, 1);
    g->addWidget(btNewLanguage, 0, 2);
    chkReloadResponseList = new QCheckBox;
    chkReloadResponseList->setObjectName(QStringLiteral("chkReloadResponseList"));
    SetDe(chkReloadResponseList, "Antwortliste bei Verbindungsverlust automatisch neu laden.");
    chkReloadResponseList->setChecked(env.ReloadResponseList());
    g->addWidget(chkReloadResponseList, 1, 0, 1, 3);
    chkUpdateUandD = new QCheckBox;
    chkUpdateUandD->setObjectName(QStringLiteral("chkUpdateUandD"));
    SetDe(chkUpdateUandD,
          "Bei den Datensätzen U und D (Datum und Uhrzeit) in Simulationen automatisch die aktuellen "
          "Werte übernehmen.",
          "Wenn diese Option aktiv ist, wird in der Direkteingabe oder beim Abspielen eines "
          "Protokolls bei Datum und Uhrzeit der aktuelle Wert statt des aufgezeichneten genommen.");
    chkUpdateUandD->setChecked(env.ReformatUandD());
    g->addWidget(chkUpdateUandD, 2, 0, 1, 3);
    layout->addWidget(general);

    auto* busType = new QGroupBox;
    SetDe(busType, "Bustyp");
    auto* b = new QVBoxLayout(busType);
    auto* question = new QLabel;
    SetDe(question, "Welcher Bustyp soll der Telegrammanalyse zugrunde liegen?");
    b->addWidget(question);
    auto* radios = new QHBoxLayout;
    rdoVehicleBus = new QRadioButton;
    rdoVehicleBus->setObjectName(QStringLiteral("rdoVehicleBus"));
    SetDe(rdoVehicleBus, "IBIS-Wagenbus");
    rdoTrainbus = new QRadioButton;
    rdoTrainbus->setObjectName(QStringLiteral("rdoTrainbus"));
    SetDe(rdoTrainbus, "IBIS-Zugbus (24V/Zweidraht)",
          "Für den Betrieb im IBIS-Zugbus (24V/Zweidraht) ist ein Adapter nötig.");
    (env.BusType() == TBusType::bsVehicleBus ? rdoVehicleBus : rdoTrainbus)->setChecked(true);
    radios->addWidget(rdoVehicleBus);
    radios->addWidget(rdoTrainbus);
    b->addLayout(radios);
    layout->addWidget(busType);

    auto* folders = new QGroupBox;
    SetDe(folders, "Verzeichnisse");
    auto* f = new QGridLayout(folders);
    auto* lblProtokolldateien = new QLabel;
    SetDe(lblProtokolldateien, "Protokolldateien:");
    auto* lblAntwortlisten = new QLabel;
    SetDe(lblAntwortlisten, "Antwortlisten:");
    auto* lblAufruflisten = new QLabel;
    SetDe(lblAufruflisten, "Aufruflisten:");
    const struct {
        const char* Name;
        QLabel* Label;
        QLineEdit** Field;
        std::string Value;
    } rows[] = {{"Protokolldateien", lblProtokolldateien, &edProtokolldateien,
                 env.ProtokollDirectory()},
                {"Antwortlisten", lblAntwortlisten, &edAntwortlisten, env.AntwortDirectory()},
                {"Aufruflisten", lblAufruflisten, &edAufruflisten, env.AufrufDirectory()}};
    int row = 0;
    for (const auto& r : rows) {
        const QString name = QString::fromLatin1(r.Name);
        r.Label->setObjectName(QStringLiteral("lbl") + name);
        auto* field = new QLineEdit(FromFileName(r.Value));
        field->setObjectName(QStringLiteral("ed") + name);
        field->setReadOnly(true);
        field->installEventFilter(this);
        *r.Field = field;
        auto* button = new QPushButton(QStringLiteral("..."));
        button->setObjectName(QStringLiteral("bt") + name);
        button->setToolTip(Tr("Verzeichnis auswählen"));
        connect(button, &QPushButton::clicked, this, [this, button] { ChooseFolder(button); });
        f->addWidget(r.Label, row, 0);
        f->addWidget(field, row, 1);
        f->addWidget(button, row, 2);
        ++row;
    }
    layout->addWidget(folders);

    auto* bus = new QGroupBox;
    SetDe(bus, "IBIS-Bus");
    auto* s = new QGridLayout(bus);
    auto spin = [&](const char* name, const char* text, int value, int at) {
        auto* label = new QLabel;
        SetDe(label, text);
        auto* e = new QSpinBox;
        e->setObjectName(QString::fromLatin1(name));
        e->setRange(1, 9000);
        e->setValue(std::clamp(value, 1, 9000));
        e->installEventFilter(this);
        s->addWidget(label, at, 0);
        s->addWidget(e, at, 1);
        return e;
    };
    seMasterTimeout = spin("seMasterTimeout", "Timeout für Master-Telegramm in [ms]:",
                           env.MasterTimeout(), 0);
    seSlaveTimeout = spin("seSlaveTimeout", "Timeout für Slave-Telegramm in [ms]:",
                          env.SlaveTimeOut(), 1);
    btnStandard = new QPushButton;
    btnStandard->setObjectName(QStringLiteral("btnStandard"));
    SetDe(btnStandard, "&Standardwerte wiederherstellen");
    layout->addWidget(bus);

    // the defaults are those of the whole dialog: beside OK and Abort, not
    // inside one group
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnStandard);
    buttons->addStretch();
    btOK = new QPushButton;
    btOK->setObjectName(QStringLiteral("btOK"));
    SetDe(btOK, "&OK");
    btOK->setDefault(true);
    btHelp = new QPushButton;
    btHelp->setObjectName(QStringLiteral("btHelp"));
    SetDe(btHelp, "Hilfe");
    btAbort = new QPushButton;
    btAbort->setObjectName(QStringLiteral("btAbort"));
    SetDe(btAbort, "&Abbruch");
    buttons->addWidget(btOK);
    buttons->addWidget(btHelp);
    buttons->addWidget(btAbort);
    layout->addLayout(buttons);

    connect(btnStandard, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
    connect(btOK, &QPushButton::clicked, this, [this] { Accept(); });
    connect(btHelp, &QPushButton::clicked, this, [] { TContextHelp::ShowContext(help::kSettings); });
    connect(btAbort, &QPushButton::clicked, this, &QDialog::reject);
    connect(btNewLanguage, &QPushButton::clicked, this, [this] { AddLanguage(); });
}

void Tfrm_Einstellungen::Message(const QString& caption, const QString& text, bool warning) {
    if (FHooks.Message) {
        FHooks.Message(caption, text, warning);
        return;
    }
    if (warning)
        QMessageBox::warning(this, caption, text);
    else
        QMessageBox::information(this, caption, text);
}

QString Tfrm_Einstellungen::WithDelimiter(const QString& text) {
    QString t = text.trimmed();
    if (!t.isEmpty() && !t.endsWith(QLatin1Char('/'))) t += QLatin1Char('/');
    return t;
}

bool Tfrm_Einstellungen::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut) {
        if (watched == seMasterTimeout || watched == seSlaveTimeout) {
            // an empty field gets the setting back
            auto* spin = static_cast<QSpinBox*>(watched);
            auto* edit = spin->findChild<QLineEdit*>();
            if (edit && edit->text().trimmed().isEmpty()) {
                const int v = std::clamp<int>(
                    watched == seMasterTimeout ? FEnv.MasterTimeout() : FEnv.SlaveTimeOut(), 1, 9000);
                spin->setValue(v);
                edit->setText(QString::number(v));
            }
        } else if (auto* field = qobject_cast<QLineEdit*>(watched);
                   field && !field->text().trimmed().isEmpty()) {
            field->setText(WithDelimiter(field->text()));
        }
    }
    return QDialog::eventFilter(watched, e);
}

void Tfrm_Einstellungen::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_L && (e->modifiers() & Qt::ControlModifier) &&
        (e->modifiers() & Qt::AltModifier))
        btNewLanguage->show();
    QDialog::keyReleaseEvent(e);
}

void Tfrm_Einstellungen::RestoreDefaults() {
    // every control the first run's value; the settings change on OK only
    const TDialogDefaults d = FEnv.DialogDefaults();
    cbLanguage->setCurrentIndex(std::clamp(d.Language - 1, 0, cbLanguage->count() - 1));
    chkReloadResponseList->setChecked(d.ReloadResponseList);
    chkUpdateUandD->setChecked(d.ReformatUandD);
    (d.BusType == TBusType::bsVehicleBus ? rdoVehicleBus : rdoTrainbus)->setChecked(true);
    edProtokolldateien->setText(FromFileName(d.ProtokollDirectory));
    edAntwortlisten->setText(FromFileName(d.AntwortDirectory));
    edAufruflisten->setText(FromFileName(d.AufrufDirectory));
    seMasterTimeout->setValue(std::clamp(d.MasterTimeout, 1, 9000));
    seSlaveTimeout->setValue(std::clamp(d.SlaveTimeOut, 1, 9000));
}

void Tfrm_Einstellungen::ChooseFolder(QPushButton* button) {
    const QString name = button->objectName().mid(2);
    auto* field = findChild<QLineEdit*>(QStringLiteral("ed") + name);
    auto* label = findChild<QLabel*>(QStringLiteral("lbl") + name);
    if (!field || !label) return;
    QString caption = label->text();
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    QString title = Tr(kFolderTitle);
    title.replace(QLatin1String("%s"), caption);
    const QString chosen =
        FHooks.ChooseFolder ? FHooks.ChooseFolder(title, field->text())
                            : QFileDialog::getExistingDirectory(this, title, field->text());
    if (!chosen.isEmpty()) field->setText(WithDelimiter(chosen));
}

void Tfrm_Einstellungen::Accept() {
    const int before = UiLanguage();
    FEnv.SetLanguage(cbLanguage->currentIndex() + 1);
    SetUiLanguage(FEnv.Language());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FEnv.SetMasterTimeout(seMasterTimeout->value());
    FEnv.SetSlaveTimeOut(seSlaveTimeout->value());
    FEnv.SetReloadResponseList(chkReloadResponseList->isChecked());
    FEnv.SetReformatUandD(chkUpdateUandD->isChecked());
    FEnv.SetBusType(rdoVehicleBus->isChecked() ? TBusType::bsVehicleBus : TBusType::bsTrainBus);
    QLineEdit* fields[3] = {edProtokolldateien, edAntwortlisten, edAufruflisten};
    for (int k = 0; k < 3; ++k) {
        QString text = fields[k]->text().trimmed();
        if (text.size() > 1 && text.endsWith(QLatin1Char('/'))) text.chop(1);
        text = text.trimmed();
        fields[k]->setText(text);
        // the folder, or one new level below an existing one
        const bool usable = !text.isEmpty() && (QFileInfo(text).isDir() || QDir().mkdir(text));
        if (usable) {
            const std::string dir = ToFileName(text);
            if (k == 0) FEnv.SetProtokollDirectory(dir);
            if (k == 1) FEnv.SetAntwortDirectory(dir);
            if (k == 2) FEnv.SetAufrufDirectory(dir);
        } else {
            QApplication::restoreOverrideCursor();
            Message(Tr("Einstellungen"),
                    Lines(Tr(kFolderFailed[k]).replace(QLatin1String("@@"), text)), true);
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    QApplication::restoreOverrideCursor();
    if (FHooks.SendTimeouts) FHooks.SendTimeouts();
    // the windows retranslate themselves: nothing is closed, nothing lost
    if (UiLanguage() != before && FHooks.LanguageChanged) FHooks.LanguageChanged();
    accept();
}

void Tfrm_Einstellungen::AddLanguage() {
    const QString name =
        (FHooks.AskLanguage ? FHooks.AskLanguage()
                            : QInputDialog::getText(this, Tr("Neue Sprache:"), Tr("Sprache")))
            .trimmed();
    if (name.isEmpty()) return;
    const QStringList known = Languages(FEnv);
    if (known.contains(name, Qt::CaseInsensitive)) {
        Message(Tr("Sprachumstellung"),
                Lines(Tr("Die angegebene Sprache existiert bereits.\r\nBitte geben Sie eine andere "
                         "Sprache ein!")),
                true);
        return;
    }
    QSettings ini(LanguageFile(FEnv), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Sprachen/%1").arg(known.size() + 1), name);
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        Message(Tr("Sprachumstellung"), Tr("Die Sprachdatei konnte nicht geschrieben werden:") +
                                            QStringLiteral("\n") + LanguageFile(FEnv),
                true);
        return;
    }
    cbLanguage->addItem(name);
}

} // namespace vaskel
