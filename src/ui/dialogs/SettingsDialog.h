#pragma once
// Tfrm_Einstellungen, "Einstellungen": the user's settings (language,
// automatic reload of the response list, current date and time in
// simulations, bus type, the three folders, the bus time-outs). Settings
// change only on OK; a new language is shown at once, without a restart
// (the recording and every open window go on). Ctrl+Alt+L shows the hidden
// "Neue Sprache anlegen".

#include "shell/Environment.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vaskel {

class Tfrm_Einstellungen : public QDialog {
public:
    struct THooks {
        // The time-outs go to the device (after OK).
        std::function<void()> SendTimeouts;
        // A new language is in force (Language, the texts of Tr): the
        // windows show it.
        std::function<void()> LanguageChanged;
        // A warning box (folders, a known language, the language file).
        // Absent: the boxes are shown.
        std::function<void(const QString& caption, const QString& text, bool warning)> Message;
        // The folder dialog; absent: the system's.
        std::function<QString(const QString& title, const QString& start)> ChooseFolder;
        // The name of a new language; absent: an input box.
        std::function<QString()> AskLanguage;
    };

    Tfrm_Einstellungen(TEnvironment& env, THooks hooks, QWidget* parent = nullptr);

    // The language file (the program's name with ".INI" in the program
    // folder) and the languages it adds to German and English.
    static QString LanguageFile(const TEnvironment& env);
    static QStringList Languages(const TEnvironment& env);

    // OK, in order: language, time-outs and switches, bus type, folders,
    // the time-outs to the device, and the windows in a new language.
    void Accept();
    // "Standardwerte wiederherstellen": every control gets the first run's
    // value (TEnvironment::DialogDefaults); the dialog stays open.
    void RestoreDefaults();
    // A folder button: the folder dialog for its field.
    void ChooseFolder(QPushButton* button);
    // "Neue Sprache anlegen".
    void AddLanguage();

    QComboBox* cbLanguage = nullptr;
    QPushButton* btNewLanguage = nullptr;
    QCheckBox* chkReloadResponseList = nullptr;
    QCheckBox* chkUpdateUandD = nullptr;
    QRadioButton* rdoVehicleBus = nullptr;
    QRadioButton* rdoTrainbus = nullptr;
    QLineEdit* edProtokolldateien = nullptr;
    QLineEdit* edAntwortlisten = nullptr;
    QLineEdit* edAufruflisten = nullptr;
    QSpinBox* seMasterTimeout = nullptr;
    QSpinBox* seSlaveTimeout = nullptr;
    QPushButton* btnStandard = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btHelp = nullptr;
    QPushButton* btAbort = nullptr;

protected:
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Message(const QString& caption, const QString& text, bool warning);
    // A folder field's text with its final delimiter, trimmed.
    static QString WithDelimiter(const QString& text);
    TEnvironment& FEnv;
    THooks FHooks;
};

} // namespace vaskel
