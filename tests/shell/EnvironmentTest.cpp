#include "shell/Environment.h"
#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace vaskel {
namespace {

class EnvironmentTest : public ::testing::Test {
protected:
    EnvironmentTest() {
        std::filesystem::create_directories(Dir.Path() / "prog");
        Platform.Program = (Dir.Path() / "prog" / "Vaskel.exe").string();
    }
    std::string Prog() const { return IncludeTrailingPathDelimiter(Dir / "prog"); }
    // The data folder of a platform without documents folder: beside the
    // program (the folders' default there).
    std::string Data() const { return Prog() + "Vaskel" + PathDelimiter(); }
    std::string Sub(const std::string& name) const {
        std::filesystem::create_directories(Dir.Path() / name);
        return Dir / name;
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TMemorySettingsStorage Storage;
};

// A one-time hint is stored when it is given, not only at an orderly end:
// a program that is killed afterwards does not show it again.
TEST_F(EnvironmentTest, AHintGivenIsStoredAtOnce) {
    auto env = std::make_unique<TEnvironment>(&Storage, Platform);
    env->SetHintGiven(THint::GridDblClickHintGiven);
    EXPECT_EQ(std::get<std::string>(Storage.Values().at(HintPath(THint::GridDblClickHintGiven))),
              "TRUE");
    TEnvironment next(&Storage, Platform); // as after a crash: the first never saved
    EXPECT_TRUE(next.HintGiven(THint::GridDblClickHintGiven));
    EXPECT_FALSE(next.HintGiven(THint::GridErrorDblClickHintGiven));
}

TEST_F(EnvironmentTest, DefaultsOnFirstRunAndEverythingWrittenAtShutdown) {
    {
        TEnvironment env(&Storage, Platform);
        EXPECT_TRUE(env.ValuesAreValid());
        EXPECT_EQ(env.ComPort(), -1);
        EXPECT_EQ(env.MasterTimeout(), 500);
        EXPECT_EQ(env.SlaveTimeOut(), 500);
        EXPECT_FALSE(env.ReloadResponseList());
        EXPECT_EQ(env.BusType(), TBusType::bsVehicleBus);
        EXPECT_EQ(env.Language(), 1);
        EXPECT_EQ(env.Aufrufe(), "");
        EXPECT_TRUE(env.ReformatUandD());
        EXPECT_TRUE(env.ConvertIBISCharacters());
        EXPECT_FALSE(env.UseWindowsColorSchema());
        EXPECT_EQ(env.AntwortDirectory(), Data());
        EXPECT_EQ(env.AufrufDirectory(), Data());
        EXPECT_EQ(env.ProtokollDirectory(), Data());
        EXPECT_EQ(env.FirmwarePath(), Data());
        EXPECT_EQ(env.ImportPath(), Data());
        EXPECT_EQ(env.LogPath(), Data());
        EXPECT_EQ(env.MPPath(), Prog());
        EXPECT_EQ(env.RawDataPath(), Prog()) << "RAWDATA does not exist";
        EXPECT_EQ(env.DatabasePath(), Prog());
        EXPECT_EQ(env.Database(), "") << "MORLIN.PRJ is not there";
        for (int a = 1; a <= 15; ++a)
            EXPECT_EQ(env.GetAddressTranslation(a), a);
        EXPECT_FALSE(env.IBISAddressTranslationDefined());
        EXPECT_FALSE(env.HintGiven(THint::DS021HintGiven));
        EXPECT_EQ(env.ProtocolSendDelay(), 1);
        EXPECT_TRUE(env.NeverFilterErrors());
        EXPECT_EQ(env.IBISAddressTranslationMode(), 0);
        EXPECT_EQ(env.ColorDepthBit(), 16);
    }
    const auto& v = Storage.Values();
    EXPECT_EQ(std::get<int32_t>(v.at("ComPort")), -1);
    EXPECT_EQ(std::get<int32_t>(v.at("MasterTimeOut")), 500);
    EXPECT_EQ(std::get<int32_t>(v.at("Busmode")), 0);
    EXPECT_EQ(std::get<int32_t>(v.at("LANGUAGE")), 1);
    EXPECT_EQ(std::get<std::string>(v.at("Reformat_U_and_D")), "TRUE");
    EXPECT_EQ(std::get<std::string>(v.at("ReloadResponseList")), "FALSE");
    EXPECT_EQ(std::get<std::string>(v.at("ZKColors")), "FALSE");
    EXPECT_EQ(std::get<std::string>(v.at("Directories\\Antwort")), Data());
    EXPECT_EQ(std::get<std::string>(v.at("Directories\\LastAntwort")), "");
    EXPECT_EQ(std::get<int32_t>(v.at("IBISAddressTranslation\\15")), 15);
    EXPECT_EQ(std::get<std::string>(v.at("Hints\\AddressTranslationAutoCloseHintGiven")), "FALSE");
    EXPECT_EQ(std::get<std::string>(v.at("Hints\\DataFolder")), "FALSE");
    EXPECT_EQ(std::get<std::string>(v.at("Datenbank")), "");
    // 10 plain values + 10 directory values + 3 last folders + Datenbank + 15
    // addresses + 13 hints
    EXPECT_EQ(v.size(), 10u + 10u + 3u + 1u + 15u + 13u);
}

TEST_F(EnvironmentTest, SettingsSurviveARestart) {
    const std::string antwort = Sub("antwort");
    {
        TEnvironment env(&Storage, Platform);
        env.SetComPort(255);
        env.SetMasterTimeout(1234);
        env.SetSlaveTimeOut(9000);
        env.SetReloadResponseList(true);
        env.SetBusType(TBusType::bsTrainBus);
        env.SetLanguage(2);
        env.SetAufrufe("\"l001\",z034");
        env.SetReformatUandD(false);
        env.SetConvertIBISCharacters(false);
        env.SetUseWindowsColorSchema(true);
        env.SetAntwortDirectory(antwort);
        env.SetAddressTranslation(10, 3);
        env.SetHintGiven(THint::MasterSlaveHintGiven);
        env.SetProtocolSendDelay(5);
        env.SetResetTG(true);
    }
    TEnvironment env(&Storage, Platform);
    EXPECT_EQ(env.ComPort(), 255);
    EXPECT_EQ(env.MasterTimeout(), 1234);
    EXPECT_EQ(env.SlaveTimeOut(), 9000);
    EXPECT_TRUE(env.ReloadResponseList());
    EXPECT_EQ(env.BusType(), TBusType::bsTrainBus);
    EXPECT_EQ(env.Language(), 2);
    EXPECT_EQ(env.Aufrufe(), "\"l001\",z034");
    EXPECT_FALSE(env.ReformatUandD());
    EXPECT_FALSE(env.ConvertIBISCharacters());
    EXPECT_TRUE(env.UseWindowsColorSchema());
    EXPECT_EQ(env.AntwortDirectory(), IncludeTrailingPathDelimiter(antwort));
    EXPECT_EQ(env.GetAddressTranslation(10), 3);
    EXPECT_TRUE(env.IBISAddressTranslationDefined());
    EXPECT_TRUE(env.HintGiven(THint::MasterSlaveHintGiven));
    EXPECT_FALSE(env.HintGiven(THint::SendDelayHintGiven));
    // runtime values start afresh
    EXPECT_EQ(env.ProtocolSendDelay(), 1);
    EXPECT_FALSE(env.ResetTG());
}

TEST_F(EnvironmentTest, TheMainWindowsPlaceSurvivesARestart) {
    {
        TEnvironment env(&Storage, Platform);
        EXPECT_FALSE(env.MainWindowGeometry().Known()) << "the first run has none";
        env.SetMainWindowGeometry({-1200, 40, 900, 650, true});
    }
    EXPECT_EQ(std::get<int32_t>(Storage.Values().at("MainWindow\\Left")), -1200);
    EXPECT_EQ(std::get<int32_t>(Storage.Values().at("MainWindow\\Height")), 650);
    EXPECT_EQ(std::get<std::string>(Storage.Values().at("MainWindow\\Maximized")), "TRUE");
    TEnvironment env(&Storage, Platform);
    EXPECT_EQ(env.MainWindowGeometry(), (TWindowGeometry{-1200, 40, 900, 650, true}));
}

TEST_F(EnvironmentTest, AStoredWindowSizeThatCannotBeIsNone) {
    for (const auto& [width, height] : {std::pair{0, 600}, std::pair{800, -5}}) {
        Storage.Clear();
        Storage.WriteInteger("MainWindow\\Left", 10);
        Storage.WriteInteger("MainWindow\\Top", 10);
        Storage.WriteInteger("MainWindow\\Width", width);
        Storage.WriteInteger("MainWindow\\Height", height);
        TEnvironment env(&Storage, Platform);
        EXPECT_FALSE(env.MainWindowGeometry().Known()) << width << " x " << height;
    }
}

TEST_F(EnvironmentTest, BooleanSpellingsAndWrongTypes) {
    const std::pair<std::string, bool> spellings[] = {
        {"TRUE", true},   {"yes", true}, {"Y", true},  {"true", true},
        {"FALSE", false}, {"no", false}, {"n", false}, {"False", false}};
    for (const auto& [text, value] : spellings) {
        Storage.WriteString("ReloadResponseList", text);
        TEnvironment env(&Storage, Platform);
        EXPECT_EQ(env.ReloadResponseList(), value) << text;
    }
    // an unreadable value falls back to its default
    Storage.WriteString("Reformat_U_and_D", "maybe");
    Storage.WriteString("MasterTimeOut", "fast");
    Storage.WriteInteger("AUFRUFE", 7);
    Storage.WriteInteger("IBISAddressTranslation\\4", 99);
    TEnvironment env(&Storage, Platform);
    EXPECT_TRUE(env.ReformatUandD());
    EXPECT_EQ(env.MasterTimeout(), 500);
    EXPECT_EQ(env.Aufrufe(), "");
    EXPECT_EQ(env.GetAddressTranslation(4), 4);
}

TEST_F(EnvironmentTest, DirectorySetters) {
    TEnvironment env(&Storage, Platform);
    const std::string dir = Sub("lists");
    env.SetAufrufDirectory(dir);
    EXPECT_EQ(env.AufrufDirectory(), dir + PathDelimiter());
    env.SetAufrufDirectory(dir + PathDelimiter());
    EXPECT_EQ(env.AufrufDirectory(), dir + PathDelimiter());
    env.SetAufrufDirectory(Dir / "missing");
    EXPECT_EQ(env.AufrufDirectory(), Data());
    env.SetAufrufDirectory("");
    EXPECT_EQ(env.AufrufDirectory(), Data());

    // the import path is kept as given and read only while it exists
    const std::string imp = Sub("import");
    env.SetImportPath(imp);
    EXPECT_EQ(env.ImportPath(), imp);
    std::filesystem::remove(imp);
    EXPECT_EQ(env.ImportPath(), Data());

    // the database path is checked again on reading
    const std::string db = Sub("db");
    env.SetDatabasePath(db);
    EXPECT_EQ(env.DatabasePath(), db + PathDelimiter());
    Dir.Write("db/MORLIN.PRJ", "x");
    env.SetDatabase("/elsewhere/MORLIN.PRJ");
    EXPECT_EQ(env.Database(), "MORLIN.PRJ");
    env.SetDatabase("OTHER.PRJ");
    EXPECT_EQ(env.Database(), "");
    env.SetDatabase("MORLIN.PRJ");
    std::filesystem::remove_all(db);
    EXPECT_EQ(env.DatabasePath(), Prog());
    EXPECT_EQ(env.Database(), "");
}

TEST_F(EnvironmentTest, StoredDirectoriesThatVanishedBecomeTheDefault) {
    Storage.WriteString("Directories\\Protokolle", Dir / "gone");
    Storage.WriteString("Directories\\Import", Dir / "gone-too");
    const std::string raw = Sub("prog/RAWDATA");
    TEnvironment env(&Storage, Platform);
    EXPECT_EQ(env.ProtokollDirectory(), Data());
    EXPECT_EQ(env.ImportPath(), Data());
    EXPECT_EQ(env.RawDataPath(), raw + PathDelimiter()) << "RAWDATA exists now";
}

// The folders a user works in start in the data folder in the documents
// (beside the catalogue), not in the program's folder; the folders kept only
// for older versions stay beside the program.
TEST_F(EnvironmentTest, FoldersStartInTheDocuments) {
    Platform.Documents = Sub("docs");
    const std::string data = IncludeTrailingPathDelimiter(Dir / "docs") + "Vaskel" + PathDelimiter();
    TEnvironment env(&Storage, Platform);
    ASSERT_EQ(env.DataDirectory(), data);
    for (TFileFolder kind : {TFileFolder::Protokolle, TFileFolder::Antwort, TFileFolder::Aufruf}) {
        EXPECT_EQ(env.Folder(kind), data);
        EXPECT_EQ(env.DialogDirectory(kind), data);
    }
    EXPECT_EQ(env.FirmwarePath(), data);
    EXPECT_EQ(env.ImportPath(), data);
    EXPECT_EQ(env.LogPath(), data);
    EXPECT_EQ(env.MPPath(), Prog());
    EXPECT_EQ(env.DatabasePath(), Prog());
    const TDialogDefaults d = env.DialogDefaults();
    EXPECT_EQ(d.ProtokollDirectory, data);
    EXPECT_EQ(d.AntwortDirectory, data);
    EXPECT_EQ(d.AufrufDirectory, data);
}

// The folder the user set stays; the folder last used is kept apart, is
// where the file dialogs start, survives a restart, and is forgotten when
// the user sets another folder. A stored file of an earlier version (no
// last folders in it) reads as before.
TEST_F(EnvironmentTest, LastFolderIsKeptApartFromTheSetting) {
    const std::string set = Sub("set");
    const std::string used = Sub("used");
    const std::string slash(1, PathDelimiter());
    Storage.WriteString("Directories\\Protokolle", set); // an earlier version's file
    {
        TEnvironment env(&Storage, Platform);
        EXPECT_EQ(env.ProtokollDirectory(), set + slash);
        EXPECT_EQ(env.LastDirectory(TFileFolder::Protokolle), "");
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), set + slash);
        env.RememberDirectory(TFileFolder::Protokolle, used);
        EXPECT_EQ(env.ProtokollDirectory(), set + slash) << "the setting stays";
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), used + slash);
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Antwort), env.AntwortDirectory())
            << "each kind of file its own";
    }
    EXPECT_EQ(std::get<std::string>(Storage.Values().at("Directories\\Protokolle")), set + slash);
    EXPECT_EQ(std::get<std::string>(Storage.Values().at("Directories\\LastProtokolle")),
              used + slash);
    {
        TEnvironment env(&Storage, Platform);
        EXPECT_EQ(env.ProtokollDirectory(), set + slash);
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), used + slash);
        env.SetProtokollDirectory(set); // the same folder again: nothing forgotten
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), used + slash);
        const std::string other = Sub("other");
        env.SetProtokollDirectory(other);
        EXPECT_EQ(env.LastDirectory(TFileFolder::Protokolle), "");
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), other + slash);
        // a last folder that has gone: the setting
        env.RememberDirectory(TFileFolder::Protokolle, used);
        std::filesystem::remove(used);
        EXPECT_EQ(env.DialogDirectory(TFileFolder::Protokolle), other + slash);
    }
}

TEST_F(EnvironmentTest, LastFirmwareFileWrittenEmptyWhenMissing) {
    const std::string fw = Sub("fw");
    {
        TEnvironment env(&Storage, Platform);
        env.SetFirmwarePath(fw);
        env.SetLastFirmwareFile("tavrin.a79");
    }
    EXPECT_EQ(std::get<std::string>(Storage.Values().at("Directories\\LastFirmwareFile")), "");
    Dir.Write("fw/tavrin.a79", ":00000001FF\r\n");
    {
        TEnvironment env(&Storage, Platform);
        env.SetLastFirmwareFile("tavrin.a79");
    }
    EXPECT_EQ(std::get<std::string>(Storage.Values().at("Directories\\LastFirmwareFile")),
              "tavrin.a79");
}

TEST_F(EnvironmentTest, RuntimeValues) {
    TEnvironment env(&Storage, Platform);
    env.SetProtocolSendDelay(0);
    EXPECT_EQ(env.ProtocolSendDelay(), 1);
    env.SetProtocolSendDelay(3);
    EXPECT_EQ(env.ProtocolSendDelay(), 3);

    const std::string list = Dir.Write("a.ANT.CSV", "x");
    env.SetLastLoadedResponseList(list);
    EXPECT_EQ(env.LastLoadedResponseList(), list);
    std::filesystem::remove(list);
    EXPECT_EQ(env.LastLoadedResponseList(), "");
    env.SetLastLoadedResponseList(Dir / "never.ANT.CSV");
    EXPECT_EQ(env.LastLoadedResponseList(), "");

    std::string reported;
    env.OnFatalError = [&](const std::string& t) { reported = t; };
    env.SetLastDBError("");
    EXPECT_EQ(reported, "");
    env.SetLastDBError("Datenbank kaputt");
    EXPECT_EQ(reported, "Datenbank kaputt");
    EXPECT_EQ(env.LastDBError(), "Datenbank kaputt");
}

TEST_F(EnvironmentTest, AddressTranslation) {
    TEnvironment env(&Storage, Platform);
    env.SetAddressTranslation(10, 3);
    EXPECT_TRUE(env.IBISAddressTranslationDefined());
    EXPECT_EQ(env.TranslateAddressDigit(":"), "3");
    EXPECT_EQ(env.TranslateAddressDigit("1"), "1");
    env.SetAddressTranslation(1, 15);
    EXPECT_EQ(env.TranslateAddressDigit("1"), "?");
    env.SetAddressTranslation(10, 10);
    EXPECT_TRUE(env.IBISAddressTranslationDefined()) << "entry 1 still differs";
    env.SetAddressTranslation(1, 1);
    EXPECT_FALSE(env.IBISAddressTranslationDefined());
    EXPECT_EQ(env.GetAddressTranslation(0), 0) << "outside the table: unchanged";
    EXPECT_EQ(env.TranslateAddressDigit("0"), "0");
}

TEST_F(EnvironmentTest, RegistryRootFollowsProgramFileName) {
    EXPECT_EQ(TEnvironment::RegistryRootFor("C:\\Programme\\Vaskel.exe"),
              "Software\\Korvane\\Vaskel");
    EXPECT_EQ(TEnvironment::RegistryRootFor("/usr/bin/vaskel"), "Software\\Korvane\\vaskel");
    EXPECT_EQ(TEnvironment::RegistryRootFor("/opt/v/Vaskel.test.exe"),
              "Software\\Korvane\\Vaskel.test");
    TEnvironment env(&Storage, Platform);
    EXPECT_EQ(env.RegistryRoot(), "Software\\Korvane\\Vaskel");
}

TEST_F(EnvironmentTest, WithoutStorageDefaultsAndNotValid) {
    TEnvironment env(nullptr, Platform);
    EXPECT_FALSE(env.ValuesAreValid());
    EXPECT_EQ(env.MasterTimeout(), 500);
    env.SetMasterTimeout(7);
    env.SaveSettings(); // nothing to write to; no crash
}

TEST_F(EnvironmentTest, SharedFoldersFallBackToProgramDirectory) {
    TEnvironment env(&Storage, Platform);
    EXPECT_EQ(env.CommonDocumentsDirectory(), Prog());
    EXPECT_EQ(env.AllUserDataDirectory(), Prog());
    EXPECT_EQ(env.DataDirectory(), Prog() + "Vaskel" + PathDelimiter());
    Platform.Documents = Dir / "docs";
    Platform.AppData = Dir / "data";
    Platform.ColorDepth = 32;
    EXPECT_EQ(env.CommonDocumentsDirectory(), IncludeTrailingPathDelimiter(Dir / "docs"));
    EXPECT_EQ(env.DataDirectory(),
              IncludeTrailingPathDelimiter(Dir / "docs") + "Vaskel" + PathDelimiter());
    EXPECT_EQ(env.AllUserDataDirectory(), IncludeTrailingPathDelimiter(Dir / "data"));
    EXPECT_EQ(env.ColorDepthBit(), 32);
}

// The data folder lies in the shared documents folder; without one in the
// user's own data folder; only when that is unknown too beside the program.
TEST_F(EnvironmentTest, DataFolderFallsBackToTheUsersOwnDataFolder) {
    const std::string docs = IncludeTrailingPathDelimiter(Dir / "docs");
    const std::string own = IncludeTrailingPathDelimiter(Dir / "home/.local/share");
    const std::string delim(1, PathDelimiter());
    struct TCase {
        bool Documents, UserData;
        TDataPlace Place;
        std::string Folder;
    } const cases[] = {
        {true, true, TDataPlace::Documents, docs + "Vaskel" + delim},
        {true, false, TDataPlace::Documents, docs + "Vaskel" + delim},
        {false, true, TDataPlace::UserData, own + "Vaskel" + delim},
        {false, false, TDataPlace::Program, Prog() + "Vaskel" + delim},
    };
    for (const TCase& c : cases) {
        Platform.Documents = c.Documents ? std::optional<std::string>(Dir / "docs") : std::nullopt;
        Platform.UserData =
            c.UserData ? std::optional<std::string>(Dir / "home/.local/share") : std::nullopt;
        TEnvironment env(&Storage, Platform);
        EXPECT_EQ(env.DataPlace(), c.Place) << c.Documents << c.UserData;
        EXPECT_EQ(env.DataDirectory(), c.Folder) << c.Documents << c.UserData;
        EXPECT_EQ(env.CommonDocumentsDirectory(), c.Documents ? docs : Prog())
            << "the documents folder itself still falls back to the program's";
    }
}

TEST_F(EnvironmentTest, EnvironmentDump) {
    TEnvironment env(&Storage, Platform);
    env.SetComPort(255);
    env.SetAufrufe("l001");
    env.SetAddressTranslation(2, 9);
    env.SetProtocolSendDelay(4);
    env.SetIBISAddressTranslationMode(1);
    const std::string file = Dir / "STATUS.LOG";
    Dir.Write("STATUS.LOG", "earlier\r\n");
    env.WriteEnvironmentDump(file);
    const std::string p = Prog();
    const std::string d = Data();
    std::string want = "earlier\r\n"
                       "-------- Beginn: Environment ------------------------\r\n"
                       "FLastDBError : \r\n"
                       "FValuesValid : true\r\n"
                       "FComport : 255\r\n"
                       "FImportPath : " +
                       d +
                       "\r\n"
                       "DatabasePath : " +
                       p +
                       "\r\n"
                       "Database : \r\n"
                       "FFirmwarePath : " +
                       d +
                       "\r\n"
                       "FLastFirmwareFile : \r\n"
                       "FAntwortDirectory : " +
                       d +
                       "\r\n"
                       "FAufrufDirectory : " +
                       d +
                       "\r\n"
                       "FLogPath : " +
                       d +
                       "\r\n"
                       "FProtokollDirectory : " +
                       d +
                       "\r\n"
                       "FMPPath : " +
                       p +
                       "\r\n"
                       "RawDataPath : " +
                       p +
                       "\r\n"
                       "FMasterTimeout : 500\r\n"
                       "FSlaveTimeOut : 500\r\n"
                       "FReloadResponseList : false\r\n"
                       "FLastLoadedResponseList: \r\n"
                       "FLanguage : 1\r\n"
                       "FAufrufe: l001\r\n"
                       "FProtocolSendDelay : 4\r\n"
                       "FBusMode : Vehicle bus\r\n"
                       "FResetTG : false\r\n"
                       "G_ZK_Pattern.UseWindowsDefaults : false\r\n";
    for (int a = 1; a <= 15; ++a)
        want += "FIBISAddressTranslation[" + std::to_string(a) +
                "] = " + std::to_string(a == 2 ? 9 : a) + "\r\n";
    want += "FIBISAddressTranslationMode : 1\r\n";
    EXPECT_EQ(test::ReadFile(file), want);
    EXPECT_THROW(env.WriteEnvironmentDump(Dir / "no/such/dir/STATUS.LOG"), EFileError);
}

} // namespace
} // namespace vaskel
