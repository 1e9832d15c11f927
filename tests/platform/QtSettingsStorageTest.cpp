#include "platform/QtSettingsStorage.h"
#include "platform/QtSystemPlatform.h"
#include "platform/QtText.h"
#include "shell/Environment.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <filesystem>

namespace vaskel {
namespace {

TEST(QtText, Cp1252RoundTripIsLossless) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
    EXPECT_EQ(FromCp1252("Zugl\xE4nge \x80"), QString::fromUtf8("Zuglänge €"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Straße ✓")), "Stra\xDF"
                                                       "e ?");
}

TEST(QtSettingsStorage, ValuesRoundTripThroughTheFile) {
    test::TempDir dir;
    const std::string file = dir / "settings.ini";
    {
        auto s = TQtSettingsStorage::ForFile(file);
        s->WriteInteger("MasterTimeOut", 750);
        s->WriteBool("Hints\\MasterSlave", true);
        s->WriteString("AUFRUFE", "\"zA1M\xFCnchen\",l001");
        s->WriteString("Directories\\Antwort", "/home/j\xC3\xB6rg/"); // UTF-8 file name bytes
        s->Flush();
    }
    auto s = TQtSettingsStorage::ForFile(file);
    EXPECT_EQ(s->ReadInteger("MasterTimeOut"), 750);
    EXPECT_EQ(s->ReadBool("Hints\\MasterSlave"), true);
    EXPECT_EQ(s->ReadString("Hints\\MasterSlave"), "TRUE");
    EXPECT_EQ(s->ReadString("AUFRUFE"), "\"zA1M\xFCnchen\",l001");
    EXPECT_EQ(s->ReadString("Directories\\Antwort"), "/home/j\xC3\xB6rg/");
    EXPECT_EQ(s->ReadInteger("Missing"), std::nullopt);
    EXPECT_EQ(s->ReadInteger("AUFRUFE"), std::nullopt) << "a text is no number";
    EXPECT_EQ(s->ReadBool("MasterTimeOut"), std::nullopt);

    // the key path becomes a group: Hints/MasterSlave
    QSettings raw(QString::fromStdString(file), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Hints/MasterSlave").toString(), QStringLiteral("TRUE"));
    EXPECT_EQ(raw.value("MasterTimeOut").toInt(), 750);
}

TEST(QtSettingsStorage, UserConfigurationFolderUnderKorvane) {
    // Nothing is written, so the user's configuration stays untouched.
    const TQtSettingsStorage s("Software\\Korvane\\VaskelTest");
    const QString expect = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Korvane/VaskelTest.conf");
    EXPECT_EQ(FromCp1252(s.Location()), expect);
}

TEST(QtSettingsStorage, EnvironmentOverQtBackend) {
    test::TempDir dir;
    TFixedSystemPlatform platform;
    platform.Program = dir / "Vaskel";
    const std::string file = dir / "Vaskel.conf";
    {
        auto storage = TQtSettingsStorage::ForFile(file);
        TEnvironment env(storage.get(), platform);
        env.SetBusType(TBusType::bsTrainBus);
        env.SetAddressTranslation(3, 12);
    }
    auto storage = TQtSettingsStorage::ForFile(file);
    TEnvironment env(storage.get(), platform);
    EXPECT_EQ(env.BusType(), TBusType::bsTrainBus);
    EXPECT_EQ(env.GetAddressTranslation(3), 12);
}

// An environment variable set for one test, restored after it.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value) : FName(name) {
        FHad = qEnvironmentVariableIsSet(name);
        FOld = qgetenv(name);
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~TScopedEnv() {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char* FName;
    bool FHad = false;
    QByteArray FOld;
};

#ifdef Q_OS_LINUX
// A home without a documents folder (a server, a fresh account): the data
// folder is the user's own data folder, not the program's (which is
// read-only when installed).
TEST(QtSystemPlatform, WithoutADocumentsFolderTheDataFolderIsTheUsersOwn) {
    test::TempDir home;
    TScopedEnv h("HOME", home.Path().string());
    TScopedEnv x("XDG_DATA_HOME", home / "xdg");
    TScopedEnv c("XDG_CONFIG_HOME", home / "config"); // no user-dirs.dirs
    const TQtSystemPlatform p;
    TEnvironment env(nullptr, p);
    const std::string delim(1, PathDelimiter());
    EXPECT_EQ(env.DataPlace(), TDataPlace::UserData);
    EXPECT_EQ(env.DataDirectory(), IncludeTrailingPathDelimiter(home / "xdg") + "Vaskel" + delim)
        << "it need not exist yet";
    std::filesystem::create_directories(home.Path() / "Documents");
    EXPECT_EQ(env.DataPlace(), TDataPlace::Documents);
    EXPECT_EQ(env.DataDirectory(),
              IncludeTrailingPathDelimiter(home / "Documents") + "Vaskel" + delim);
}

// A first run: the folders of protocols and lists are in the user's
// documents, in the data folder, never beside the program; the settings file
// says so at the end, and an existing settings file keeps its folders.
TEST(QtSystemPlatform, FirstRunFoldersAreInTheDocuments) {
    test::TempDir home;
    TScopedEnv h("HOME", home.Path().string());
    TScopedEnv x("XDG_DATA_HOME", home / "xdg");
    TScopedEnv c("XDG_CONFIG_HOME", home / "config");
    std::filesystem::create_directories(home.Path() / "Documents");
    const std::string data = IncludeTrailingPathDelimiter(home / "Documents") + "Vaskel" +
                             std::string(1, PathDelimiter());
    const TQtSystemPlatform p;
    const std::string ini = home / "settings.ini";
    {
        auto storage = TQtSettingsStorage::ForFile(ini);
        TEnvironment env(storage.get(), p);
        EXPECT_EQ(env.ProtokollDirectory(), data);
        EXPECT_EQ(env.AntwortDirectory(), data);
        EXPECT_EQ(env.AufrufDirectory(), data);
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), data);
        EXPECT_NE(env.ProtokollDirectory().rfind(env.ProgramDirectory(), 0), 0u);
    }
    // a settings file of an earlier version: its folder is the setting
    const std::string mine = home / "Protokolle";
    std::filesystem::create_directories(mine);
    {
        QSettings old(QString::fromStdString(ini), QSettings::IniFormat);
        old.clear();
        old.setValue(QStringLiteral("Directories/Protokolle"), QString::fromStdString(mine + "/"));
        old.setValue(QStringLiteral("MasterTimeOut"), 700);
    }
    auto storage = TQtSettingsStorage::ForFile(ini);
    TEnvironment env(storage.get(), p);
    EXPECT_EQ(env.ProtokollDirectory(), mine + "/");
    EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), mine + "/");
    EXPECT_EQ(env.MasterTimeout(), 700);
    EXPECT_EQ(env.AntwortDirectory(), data);
}
#endif

TEST(QtSystemPlatform, FoldersExistOrAreNotReported) {
    const TQtSystemPlatform p;
    if (const auto d = p.CommonDocumentsFolder()) {
        EXPECT_TRUE(DirectoryExists(*d));
    }
    if (const auto d = p.CommonAppDataFolder()) {
        EXPECT_TRUE(DirectoryExists(*d));
    }
    EXPECT_FALSE(p.ProgramFile().empty());
#ifdef Q_OS_LINUX
    EXPECT_EQ(ExtractFileName(p.ProgramFile()), "vaskel_tests");
#endif
}

} // namespace
} // namespace vaskel
