// The settings dialog: opening values, the spin fields' rules, the standard
// values, folders created or warned about, the language switch at run time,
// the bus type, and adding a language.

#include "ui/dialogs/SettingsDialog.h"

#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "ui/common/Texts.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QGroupBox>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace vaskel {
namespace {

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest() {
        Platform.Program = Dir / "Vaskel";
        for (const char* d : {"pro", "ant", "auf"}) std::filesystem::create_directory(Dir / d);
        Env.SetProtokollDirectory(Dir / "pro/");
        Env.SetAntwortDirectory(Dir / "ant/");
        Env.SetAufrufDirectory(Dir / "auf/");
        Env.SetMasterTimeout(300);
        Env.SetSlaveTimeOut(700);
        Hooks.SendTimeouts = [this] { ++Sent; };
        Hooks.LanguageChanged = [this] { ++LanguageChanges; };
        Hooks.Message = [this](const QString& caption, const QString& text, bool warning) {
            Messages.push_back({caption, text, warning});
        };
    }
    ~SettingsDialogTest() override { SetUiLanguage(1); }

    struct TMessage {
        QString Caption;
        QString Text;
        bool Warning;
    };
    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    Tfrm_Einstellungen::THooks Hooks;
    int Sent = 0;
    int LanguageChanges = 0;
    std::vector<TMessage> Messages;
};

void Leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

TEST_F(SettingsDialogTest, OpensWithTheSettingsAndTakesThemOverOnOk) {
    Tfrm_Einstellungen d(Env, Hooks);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(d.seMasterTimeout->value(), 300);
    EXPECT_EQ(d.seSlaveTimeout->value(), 700);
    EXPECT_EQ(d.seMasterTimeout->minimum(), 1);
    EXPECT_EQ(d.seMasterTimeout->maximum(), 9000);
    EXPECT_EQ(d.edProtokolldateien->text(), FromFileName(Dir / "pro/"));
    EXPECT_EQ(d.cbLanguage->currentIndex(), 0);
    EXPECT_TRUE(d.rdoVehicleBus->isChecked());
    EXPECT_FALSE(d.btNewLanguage->isVisibleTo(&d));

    d.rdoTrainbus->setChecked(true);
    d.chkReloadResponseList->setChecked(!Env.ReloadResponseList());
    const bool reload = d.chkReloadResponseList->isChecked();
    d.seMasterTimeout->setValue(1200);
    d.Accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Env.BusType(), TBusType::bsTrainBus);
    EXPECT_EQ(Env.ReloadResponseList(), reload);
    EXPECT_EQ(Env.MasterTimeout(), 1200);
    EXPECT_EQ(Env.SlaveTimeOut(), 700);
    EXPECT_EQ(Sent, 1) << "the time-outs go to the device";
    EXPECT_EQ(LanguageChanges, 0) << "the same language: nothing to show anew";
    EXPECT_TRUE(Messages.empty());
}

TEST_F(SettingsDialogTest, EmptySpinFieldGetsTheSettingBackAndDefaultsWaitForOk) {
    Tfrm_Einstellungen d(Env, Hooks);
    d.seMasterTimeout->setValue(2000);
    d.seMasterTimeout->findChild<QLineEdit*>()->clear();
    Leave(d.seMasterTimeout);
    EXPECT_EQ(d.seMasterTimeout->value(), 300) << "the setting, not the value typed before";
    d.btnStandard->click();
    EXPECT_EQ(d.seMasterTimeout->value(), 500);
    EXPECT_EQ(d.seSlaveTimeout->value(), 500);
    EXPECT_NE(d.result(), QDialog::Accepted) << "the dialog stays open";
    EXPECT_EQ(Env.MasterTimeout(), 300) << "nothing changes before OK";
    d.reject();
    EXPECT_EQ(Env.MasterTimeout(), 300);
    EXPECT_EQ(Env.SlaveTimeOut(), 700);
    EXPECT_EQ(Sent, 0);
}

// "Standardwerte wiederherstellen", clicked with the mouse, puts every
// control of the dialog back to the first run's value (the folders in the
// data folder), keeps the dialog open and changes no setting before OK.
TEST_F(SettingsDialogTest, StandardValuesRestoreEveryControl) {
    Platform.Documents = Dir / "docs";
    std::filesystem::create_directory(Dir / "docs");
    const QString data = FromFileName(Env.DataDirectory());
    ASSERT_TRUE(data.startsWith(FromFileName(Dir / "docs")));
    Env.SetLanguage(2);
    Env.SetReloadResponseList(true);
    Env.SetReformatUandD(false);
    Env.SetBusType(TBusType::bsTrainBus);
    Tfrm_Einstellungen d(Env, Hooks);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const struct {
        const char* Control;
        std::function<QString()> Shown;
        QString Before; // the settings as opened
        QString Default;
    } controls[] = {
        {"cbLanguage", [&] { return QString::number(d.cbLanguage->currentIndex()); },
         QStringLiteral("1"), QStringLiteral("0")},
        {"chkReloadResponseList",
         [&] { return QString::number(d.chkReloadResponseList->isChecked()); },
         QStringLiteral("1"), QStringLiteral("0")},
        {"chkUpdateUandD", [&] { return QString::number(d.chkUpdateUandD->isChecked()); },
         QStringLiteral("0"), QStringLiteral("1")},
        {"rdoVehicleBus", [&] { return QString::number(d.rdoVehicleBus->isChecked()); },
         QStringLiteral("0"), QStringLiteral("1")},
        {"rdoTrainbus", [&] { return QString::number(d.rdoTrainbus->isChecked()); },
         QStringLiteral("1"), QStringLiteral("0")},
        {"edProtokolldateien", [&] { return d.edProtokolldateien->text(); },
         FromFileName(Dir / "pro/"), data},
        {"edAntwortlisten", [&] { return d.edAntwortlisten->text(); }, FromFileName(Dir / "ant/"),
         data},
        {"edAufruflisten", [&] { return d.edAufruflisten->text(); }, FromFileName(Dir / "auf/"),
         data},
        {"seMasterTimeout", [&] { return QString::number(d.seMasterTimeout->value()); },
         QStringLiteral("300"), QStringLiteral("500")},
        {"seSlaveTimeout", [&] { return QString::number(d.seSlaveTimeout->value()); },
         QStringLiteral("700"), QStringLiteral("500")},
    };
    for (const auto& c : controls) EXPECT_EQ(c.Shown(), c.Before) << c.Control;
    // it resets the whole dialog: it stands beside OK, in no group
    for (QWidget* w = d.btnStandard->parentWidget(); w && w != &d; w = w->parentWidget())
        EXPECT_EQ(qobject_cast<QGroupBox*>(w), nullptr) << "inside a group";
    EXPECT_EQ(d.btnStandard->parentWidget(), d.btOK->parentWidget());
    EXPECT_EQ(d.btnStandard->geometry().center().y(), d.btOK->geometry().center().y())
        << "in the row of OK and Abort";
    EXPECT_EQ(d.btOK->text(), QStringLiteral("&OK"));
    QTest::mouseClick(d.btnStandard, Qt::LeftButton);
    for (const auto& c : controls) EXPECT_EQ(c.Shown(), c.Default) << c.Control;
    EXPECT_TRUE(d.isVisible()) << "the dialog stays open";
    EXPECT_EQ(Env.Language(), 2) << "nothing changes before OK";
    EXPECT_EQ(Env.BusType(), TBusType::bsTrainBus);
    EXPECT_EQ(Env.ProtokollDirectory(), Dir / "pro/");
    EXPECT_EQ(Env.MasterTimeout(), 300);
    QTest::mouseClick(d.btOK, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Env.Language(), 1);
    EXPECT_FALSE(Env.ReloadResponseList());
    EXPECT_TRUE(Env.ReformatUandD());
    EXPECT_EQ(Env.BusType(), TBusType::bsVehicleBus);
    EXPECT_EQ(Env.ProtokollDirectory(), Env.DataDirectory()) << "made on OK";
    EXPECT_EQ(Env.AufrufDirectory(), Env.DataDirectory());
    EXPECT_EQ(Env.MasterTimeout(), 500);
    EXPECT_EQ(Env.SlaveTimeOut(), 500);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(SettingsDialogTest, FoldersAreCreatedOneLevelDeepOrWarnedAbout) {
    Tfrm_Einstellungen d(Env, Hooks);
    const QString fresh = FromFileName(Dir / "neu");
    const QString deep = FromFileName(Dir / "gibt/es/nicht");
    d.edProtokolldateien->setText(fresh + QStringLiteral("/ "));
    d.edAntwortlisten->setText(deep);
    d.Accept();
    EXPECT_TRUE(std::filesystem::is_directory(Dir / "neu"));
    EXPECT_EQ(Env.ProtokollDirectory(), Dir / "neu/");
    EXPECT_FALSE(std::filesystem::exists(Dir / "gibt"));
    EXPECT_EQ(Env.AntwortDirectory(), Dir / "ant/") << "the old folder stays";
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Warning);
    EXPECT_EQ(Messages[0].Caption, QStringLiteral("Einstellungen"));
    EXPECT_EQ(Messages[0].Text,
              QStringLiteral("Das angegebene Verzeichnis:\n") + deep +
                  QStringLiteral("\nfür das Speichern von Antwortlisten konnte nicht angelegt "
                                 "werden.\nEs wird das alte Verzeichnis weiter verwendet!"));
}

// Enter in a field reaches OK through the key handling; the warning about
// the folder is a real modal box, shown while that key event is handled.
TEST_F(SettingsDialogTest, EnterInAFieldTakesTheSettingsAndWarnsWithoutHarm) {
    Hooks.Message = nullptr;
    Tfrm_Einstellungen d(Env, Hooks);
    d.show();
    d.edAufruflisten->setText(FromFileName(Dir / "gibt/es/nicht"));
    d.seSlaveTimeout->setFocus();
    d.seSlaveTimeout->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(d.seSlaveTimeout->findChild<QLineEdit*>(), QStringLiteral("900"));
    TAutoAnswer warning(QMessageBox::Ok);
    QTest::keyClick(d.seSlaveTimeout->findChild<QLineEdit*>(), Qt::Key_Return);
    EXPECT_EQ(warning.Count, 1);
    EXPECT_TRUE(warning.LastText.contains(QStringLiteral("Aufruflisten")));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Env.SlaveTimeOut(), 900);
    EXPECT_EQ(Env.AufrufDirectory(), Dir / "auf/");
}

TEST_F(SettingsDialogTest, FolderButtonAsksWithTheLabelInTheTitle) {
    QString asked;
    QString start;
    Hooks.ChooseFolder = [&](const QString& title, const QString& from) {
        asked = title;
        start = from;
        return FromFileName(Dir / "gewaehlt");
    };
    Tfrm_Einstellungen d(Env, Hooks);
    d.findChild<QPushButton*>(QStringLiteral("btAufruflisten"))->click();
    EXPECT_EQ(asked, QStringLiteral("Wählen Sie das Verzeichnis für Aufruflisten aus."));
    EXPECT_EQ(start, FromFileName(Dir / "auf/"));
    EXPECT_EQ(d.edAufruflisten->text(), FromFileName(Dir / "gewaehlt/"));
}

TEST_F(SettingsDialogTest, NewLanguageIsInForceAtOnceWithoutABox) {
    Tfrm_Einstellungen d(Env, Hooks);
    d.cbLanguage->setCurrentIndex(1);
    d.Accept();
    EXPECT_EQ(Env.Language(), 2);
    EXPECT_EQ(UiLanguage(), 2);
    EXPECT_EQ(LanguageChanges, 1) << "the windows are told";
    EXPECT_TRUE(Messages.empty()) << "no restart to announce";
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(SettingsDialogTest, HiddenCommandAddsALanguageOnce) {
    QString name = QStringLiteral("Français");
    Hooks.AskLanguage = [&] { return name; };
    Tfrm_Einstellungen d(Env, Hooks);
    QKeyEvent l(QEvent::KeyRelease, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(&d, &l);
    EXPECT_TRUE(d.btNewLanguage->isVisibleTo(&d));
    d.btNewLanguage->click();
    EXPECT_EQ(Tfrm_Einstellungen::Languages(Env),
              (QStringList{QStringLiteral("Deutsch"), QStringLiteral("English"), name}));
    EXPECT_EQ(d.cbLanguage->count(), 3);
    EXPECT_TRUE(Messages.empty());
    const std::string file = test::ReadFile(Dir / "vaskel.INI");
    EXPECT_NE(file.find("[Sprachen]"), std::string::npos) << file;
    // a known name: the warning, the file unchanged
    name = QStringLiteral("English");
    d.btNewLanguage->click();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Warning);
    EXPECT_TRUE(Messages[0].Text.startsWith(QStringLiteral("Die angegebene Sprache existiert")));
    EXPECT_EQ(test::ReadFile(Dir / "vaskel.INI"), file);
}

} // namespace
} // namespace vaskel
