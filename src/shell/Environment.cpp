#include "shell/Environment.h"

#include "telegram/SafeFile.h"

#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <fstream>

namespace vaskel {

const char* const kFatalErrorDialogText =
    "Es ist ein schwerer Fehler aufgetreten, den das Programm nicht selbst beheben kann. \r\n"
    "Sie finden in der Fehlerdatei im Hauptverzeichnis der Anwendung genaue Angaben.";

namespace {

const char* const kHintPaths[kHintCount] = {
    "Hints\\003aEdit",
    "Hints\\003cEdit",
    "Hints\\021Edit",
    "Hints\\DblClickFileOpen",
    "Hints\\MasterSlave",
    "Hints\\GridDblClick",
    "Hints\\SendDelay",
    "Hints\\FilterHint",
    "Hints\\LockedGrid",
    "Hints\\GridErrorDblClick",
    "Hints\\AddressTranslationHintGiven",
    "Hints\\AddressTranslationAutoCloseHintGiven",
    "Hints\\DataFolder",
};

// The main window's geometry: "MainWindow\\Left", ... (integers),
// "MainWindow\\Maximized" (boolean).
const char* const kMainWindowKey = "MainWindow\\";

std::string AddressPath(int address) {
    return "IBISAddressTranslation\\" + std::to_string(address);
}

// Where each folder setting and its last folder are stored, by TFileFolder.
const char* const kFolderPaths[3] = {"Directories\\Protokolle", "Directories\\Antwort",
                                     "Directories\\Aufruf"};
const char* const kLastFolderPaths[3] = {"Directories\\LastProtokolle",
                                         "Directories\\LastAntwort",
                                         "Directories\\LastAufruf"};

const char* BoolText(bool b) {
    return b ? "true" : "false";
}

} // namespace

const char* HintPath(THint hint) {
    return kHintPaths[static_cast<int>(hint)];
}

void TEnvironment::SetHintGiven(THint hint, bool given) {
    bool& flag = FHints[static_cast<int>(hint)];
    if (flag == given) return;
    flag = given;
    if (!FStorage) return;
    FStorage->WriteBool(HintPath(hint), given);
    FStorage->Flush();
}

TEnvironment::TEnvironment(ISettingsStorage* storage, const ISystemPlatform& platform)
    : FStorage(storage), FPlatform(platform), FDebugger(std::make_unique<TDebugClass>(*this)) {
    FUseWindowsColorSchema = false; // start with the program's own colours
    SetDefaults();
    LoadSettings();
}

TEnvironment::~TEnvironment() {
    try {
        SaveSettings();
    } catch (...) {
        // Nothing sensible can be done about a failing store at shutdown.
    }
}

std::string TEnvironment::RegistryRootFor(const std::string& programFile) {
    // Either delimiter: the name may come from another platform's path.
    std::string name = programFile.substr(programFile.find_last_of("/\\") + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return "Software\\Korvane\\" + name;
}

std::string TEnvironment::ProgramDirectory() const {
    return IncludeTrailingPathDelimiter(ExtractFilePath(FPlatform.ProgramFile()));
}

std::string TEnvironment::CheckedDirectory(const std::string& dir) const {
    return CheckedDirectory(dir, DefaultDirectory());
}

std::string TEnvironment::CheckedDirectory(const std::string& dir,
                                           const std::string& fallback) const {
    // An empty text would name the file system's root; it means "none".
    if (dir.empty()) return fallback;
    const std::string d = IncludeTrailingPathDelimiter(dir);
    return DirectoryExists(d) ? d : fallback;
}

void TEnvironment::SetFolder(TFileFolder kind, const std::string& dir) {
    const std::string d = CheckedDirectory(dir);
    if (d != FFolders[Index(kind)]) FLastFolders[Index(kind)].clear();
    FFolders[Index(kind)] = d;
}

std::string TEnvironment::LastDirectory(TFileFolder kind) const {
    const std::string& d = FLastFolders[Index(kind)];
    return !d.empty() && DirectoryExists(d) ? d : std::string();
}

void TEnvironment::RememberDirectory(TFileFolder kind, const std::string& dir) {
    FLastFolders[Index(kind)] = dir.empty() ? std::string() : IncludeTrailingPathDelimiter(dir);
}

std::string TEnvironment::DialogDirectory(TFileFolder kind) const {
    const std::string last = LastDirectory(kind);
    return last.empty() ? Folder(kind) : last;
}

TDialogDefaults TEnvironment::DialogDefaults() const {
    TDialogDefaults d;
    d.ProtokollDirectory = d.AntwortDirectory = d.AufrufDirectory = DefaultDirectory();
    return d;
}

void TEnvironment::SetDefaults() {
    const std::string prog = ProgramDirectory();
    const TDialogDefaults shown = DialogDefaults();
    FComPort = -1;
    FMasterTimeout = shown.MasterTimeout;
    FSlaveTimeOut = shown.SlaveTimeOut;
    FReloadResponseList = shown.ReloadResponseList;
    FBusType = shown.BusType;
    FLanguage = shown.Language;
    FAufrufe.clear();
    FReformatUandD = shown.ReformatUandD;
    FConvertIBISCharacters = true;
    FUseWindowsColorSchema = false;
    // the folders a user works in lie in the data folder; the ones only
    // kept for older versions stay where they were
    const std::string data = DefaultDirectory();
    FFolders[Index(TFileFolder::Protokolle)] = shown.ProtokollDirectory;
    FFolders[Index(TFileFolder::Antwort)] = shown.AntwortDirectory;
    FFolders[Index(TFileFolder::Aufruf)] = shown.AufrufDirectory;
    for (auto& last : FLastFolders) last.clear();
    FFirmwarePath = FImportPath = FLogPath = data;
    FLastFirmwareFile.clear();
    FMPPath = FDatabasePath = prog;
    FRawDataPath = CheckedDirectory(prog + "RAWDATA", prog);
    FDatabase = "MORLIN.PRJ";
    for (int k = 0; k < kAddressCount; ++k)
        FAddressTranslation[k] = k + 1;
    FHints.fill(false);
    FAddressTranslationDefined = false;
    FMainWindowGeometry = {};

    FValuesAreValid = false;
    FLastDBError.clear();
    FResetTG = false;
    FLastLoadedResponseList.clear();
    FProtocolSendDelay = 1;
    FFilterSatzArten.clear();
    FFilterKuerzel.clear();
    FNeverFilterErrors = true;
    FFilterWindowWasOpened = false;
    FAddressTranslationMode = 0;
}

void TEnvironment::LoadSettings() {
    FValuesAreValid = false;
    if (!FStorage) {
        SetDefaults();
        return;
    }
    ISettingsStorage& s = *FStorage;
    const std::string prog = ProgramDirectory();
    const std::string data = DefaultDirectory();
    FComPort = s.ReadInteger("ComPort").value_or(-1);
    FMasterTimeout = s.ReadInteger("MasterTimeOut").value_or(500);
    FSlaveTimeOut = s.ReadInteger("SlaveTimeOut").value_or(500);
    FReloadResponseList = s.ReadBool("ReloadResponseList").value_or(false);
    FBusType =
        s.ReadInteger("Busmode").value_or(0) == 1 ? TBusType::bsTrainBus : TBusType::bsVehicleBus;
    FLanguage = s.ReadInteger("LANGUAGE").value_or(1);
    FAufrufe = s.ReadString("AUFRUFE").value_or("");
    FReformatUandD = s.ReadBool("Reformat_U_and_D").value_or(true);
    FConvertIBISCharacters = s.ReadBool("ConvertIBISCharacters").value_or(true);
    FUseWindowsColorSchema = s.ReadBool("ZKColors").value_or(false);

    // the setting first, then the folder last used (which a changed setting
    // forgets)
    for (std::size_t k = 0; k < FFolders.size(); ++k) {
        SetFolder(static_cast<TFileFolder>(k), s.ReadString(kFolderPaths[k]).value_or(data));
        FLastFolders[k] = s.ReadString(kLastFolderPaths[k]).value_or("");
    }
    SetFirmwarePath(s.ReadString("Directories\\Firmware").value_or(data));
    FLastFirmwareFile = s.ReadString("Directories\\LastFirmwareFile").value_or("");
    FImportPath = s.ReadString("Directories\\Import").value_or(data);
    SetLogPath(s.ReadString("Directories\\LogFiles").value_or(data));
    FMPPath = CheckedDirectory(s.ReadString("Directories\\MP").value_or(prog), prog);
    FRawDataPath =
        CheckedDirectory(s.ReadString("Directories\\RawData").value_or(prog + "RAWDATA"), prog);
    FDatabasePath = CheckedDirectory(s.ReadString("Directories\\Database").value_or(prog), prog);
    FDatabase = s.ReadString("Datenbank").value_or("MORLIN.PRJ");

    for (int a = 1; a <= kAddressCount; ++a) {
        const int32_t t = s.ReadInteger(AddressPath(a)).value_or(a);
        // A target outside 1..15 cannot be sent; keep the address as it is.
        FAddressTranslation[a - 1] = (t >= 1 && t <= kAddressCount) ? t : a;
    }
    RecomputeAddressTranslationDefined();
    for (int h = 0; h < kHintCount; ++h)
        FHints[h] = s.ReadBool(kHintPaths[h]).value_or(false);
    {
        const std::string k = kMainWindowKey;
        TWindowGeometry g;
        g.Left = s.ReadInteger(k + "Left").value_or(0);
        g.Top = s.ReadInteger(k + "Top").value_or(0);
        g.Width = s.ReadInteger(k + "Width").value_or(0);
        g.Height = s.ReadInteger(k + "Height").value_or(0);
        g.Maximized = s.ReadBool(k + "Maximized").value_or(false);
        // a size that cannot be is no remembered size
        FMainWindowGeometry = g.Known() ? g : TWindowGeometry{};
    }

    FValuesAreValid = true;
    FLastDBError.clear();
}

void TEnvironment::SaveSettings() {
    if (!FStorage) return;
    ISettingsStorage& s = *FStorage;
    s.WriteInteger("ComPort", FComPort);
    s.WriteInteger("MasterTimeOut", FMasterTimeout);
    s.WriteInteger("SlaveTimeOut", FSlaveTimeOut);
    s.WriteBool("ReloadResponseList", FReloadResponseList);
    s.WriteInteger("Busmode", FBusType == TBusType::bsTrainBus ? 1 : 0);
    s.WriteInteger("LANGUAGE", FLanguage);
    s.WriteString("AUFRUFE", FAufrufe);
    s.WriteBool("Reformat_U_and_D", FReformatUandD);
    s.WriteBool("ConvertIBISCharacters", FConvertIBISCharacters);
    s.WriteBool("ZKColors", FUseWindowsColorSchema);
    for (std::size_t k = 0; k < FFolders.size(); ++k) {
        s.WriteString(kFolderPaths[k], FFolders[k]);
        s.WriteString(kLastFolderPaths[k], FLastFolders[k]);
    }
    s.WriteString("Directories\\Firmware", FFirmwarePath);
    s.WriteString("Directories\\LastFirmwareFile",
                  FileExists(FFirmwarePath + FLastFirmwareFile) ? FLastFirmwareFile : "");
    s.WriteString("Directories\\Import", FImportPath);
    s.WriteString("Directories\\LogFiles", FLogPath);
    s.WriteString("Directories\\MP", FMPPath);
    s.WriteString("Directories\\RawData", FRawDataPath);
    s.WriteString("Directories\\Database", DatabasePath());
    s.WriteString("Datenbank", Database());
    for (int a = 1; a <= kAddressCount; ++a)
        s.WriteInteger(AddressPath(a), FAddressTranslation[a - 1]);
    for (int h = 0; h < kHintCount; ++h)
        s.WriteBool(kHintPaths[h], FHints[h]);
    if (FMainWindowGeometry.Known()) {
        const std::string k = kMainWindowKey;
        s.WriteInteger(k + "Left", FMainWindowGeometry.Left);
        s.WriteInteger(k + "Top", FMainWindowGeometry.Top);
        s.WriteInteger(k + "Width", FMainWindowGeometry.Width);
        s.WriteInteger(k + "Height", FMainWindowGeometry.Height);
        s.WriteBool(k + "Maximized", FMainWindowGeometry.Maximized);
    }
    s.Flush();
}

std::string TEnvironment::ImportPath() const {
    return DirectoryExists(FImportPath) ? FImportPath : DefaultDirectory();
}

void TEnvironment::SetImportPath(const std::string& dir) {
    FImportPath = DirectoryExists(dir) ? dir : DefaultDirectory();
}

std::string TEnvironment::DatabasePath() const {
    return DirectoryExists(FDatabasePath) ? FDatabasePath : ProgramDirectory();
}

std::string TEnvironment::Database() const {
    if (FDatabase.empty() || !FileExists(DatabasePath() + FDatabase)) return {};
    return FDatabase;
}

void TEnvironment::SetDatabase(const std::string& fileOrPath) {
    const std::string name = ExtractFileName(fileOrPath);
    FDatabase = (!name.empty() && FileExists(DatabasePath() + name)) ? name : "";
}

int32_t TEnvironment::GetAddressTranslation(int address) const {
    if (address < 1 || address > kAddressCount) return address;
    return FAddressTranslation[address - 1];
}

void TEnvironment::SetAddressTranslation(int address, int32_t target) {
    if (address < 1 || address > kAddressCount) return;
    FAddressTranslation[address - 1] = target;
    RecomputeAddressTranslationDefined();
}

void TEnvironment::RecomputeAddressTranslationDefined() {
    FAddressTranslationDefined = false;
    for (int k = 0; k < kAddressCount; ++k)
        if (FAddressTranslation[k] != k + 1) FAddressTranslationDefined = true;
}

std::string TEnvironment::TranslateAddressDigit(const std::string& ibisHexDigit) const {
    return IntToIBISHex(GetAddressTranslation(IBISHexToInt(ibisHexDigit)));
}

void TEnvironment::SetLastDBError(const std::string& text) {
    FLastDBError = text;
    if (text.empty()) return;
    // the report first: the dialog may end the program. A report that cannot
    // be written never keeps the error from being shown.
    try {
        FLastErrorReport = FDebugger->WriteErrorReport(text);
    } catch (...) {
        FLastErrorReport.clear();
    }
    if (OnFatalError) OnFatalError(text);
}

std::string TEnvironment::LastLoadedResponseList() const {
    if (FLastLoadedResponseList.empty() || !FileExists(FLastLoadedResponseList)) return {};
    return FLastLoadedResponseList;
}

void TEnvironment::SetLastLoadedResponseList(const std::string& file) {
    FLastLoadedResponseList = FileExists(file) ? file : "";
}

std::string TEnvironment::CommonDocumentsDirectory() const {
    const auto d = FPlatform.CommonDocumentsFolder();
    if (!d || d->empty()) return ProgramDirectory();
    return IncludeTrailingPathDelimiter(*d);
}

std::string TEnvironment::AllUserDataDirectory() const {
    const auto d = FPlatform.CommonAppDataFolder();
    if (!d || d->empty()) return ProgramDirectory();
    return IncludeTrailingPathDelimiter(*d);
}

std::string TEnvironment::UserDataDirectory() const {
    const auto d = FPlatform.UserDataFolder();
    if (!d || d->empty()) return {};
    return IncludeTrailingPathDelimiter(*d);
}

TDataPlace TEnvironment::DataPlace() const {
    if (const auto d = FPlatform.CommonDocumentsFolder(); d && !d->empty())
        return TDataPlace::Documents;
    return UserDataDirectory().empty() ? TDataPlace::Program : TDataPlace::UserData;
}

std::string TEnvironment::DataDirectory() const {
    const std::string place =
        DataPlace() == TDataPlace::UserData ? UserDataDirectory() : CommonDocumentsDirectory();
    return place + "Vaskel" + PathDelimiter();
}

int TEnvironment::ColorDepthBit() const {
    return FPlatform.ScreenColorDepth().value_or(16);
}

std::string TEnvironment::EnvironmentDump() const {
    std::string d;
    auto line = [&](const std::string& s) { d += s + "\r\n"; };
    auto flagLine = [&](const char* name, bool v) {
        line(std::string(name) + " : " + BoolText(v));
    };
    // the heading in the program's language, like the rest of the report
    line(FLanguage == 2 ? "-------- Begin: Environment -------------------------"
                        : "-------- Beginn: Environment ------------------------");
    line("FLastDBError : " + FLastDBError);
    flagLine("FValuesValid", FValuesAreValid);
    line("FComport : " + std::to_string(FComPort));
    line("FImportPath : " + FImportPath);
    line("DatabasePath : " + DatabasePath());
    line("Database : " + Database());
    line("FFirmwarePath : " + FFirmwarePath);
    line("FLastFirmwareFile : " + FLastFirmwareFile);
    line("FAntwortDirectory : " + AntwortDirectory());
    line("FAufrufDirectory : " + AufrufDirectory());
    line("FLogPath : " + FLogPath);
    line("FProtokollDirectory : " + ProtokollDirectory());
    line("FMPPath : " + FMPPath);
    line("RawDataPath : " + FRawDataPath);
    line("FMasterTimeout : " + std::to_string(FMasterTimeout));
    line("FSlaveTimeOut : " + std::to_string(FSlaveTimeOut));
    flagLine("FReloadResponseList", FReloadResponseList);
    line("FLastLoadedResponseList: " + FLastLoadedResponseList);
    line("FLanguage : " + std::to_string(FLanguage));
    line("FAufrufe: " + FAufrufe);
    line("FProtocolSendDelay : " + std::to_string(FProtocolSendDelay));
    line(FBusType == TBusType::bsTrainBus ? "FBusMode : Train bus" : "FBusMode : Vehicle bus");
    flagLine("FResetTG", FResetTG);
    line(std::string("G_ZK_Pattern.UseWindowsDefaults : ") + BoolText(FUseWindowsColorSchema));
    for (int a = 1; a <= kAddressCount; ++a)
        line("FIBISAddressTranslation[" + std::to_string(a) +
             "] = " + std::to_string(FAddressTranslation[a - 1]));
    line("FIBISAddressTranslationMode : " + std::to_string(FAddressTranslationMode));

    return d;
}

void TEnvironment::WriteEnvironmentDump(const std::string& fileName) const {
    AppendToFileSafely(fileName, EnvironmentDump());
}

} // namespace vaskel
