#include "shell/Environment.h"

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
};

std::string AddressPath(int address) {
    return "IBISAddressTranslation\\" + std::to_string(address);
}

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
    // An empty text would name the file system's root; it means "none".
    if (dir.empty()) return ProgramDirectory();
    const std::string d = IncludeTrailingPathDelimiter(dir);
    return DirectoryExists(d) ? d : ProgramDirectory();
}

void TEnvironment::SetDefaults() {
    const std::string prog = ProgramDirectory();
    FComPort = -1;
    FMasterTimeout = 500;
    FSlaveTimeOut = 500;
    FReloadResponseList = false;
    FBusType = TBusType::bsVehicleBus;
    FLanguage = 1;
    FAufrufe.clear();
    FReformatUandD = true;
    FConvertIBISCharacters = true;
    FUseWindowsColorSchema = false;
    FAntwortDirectory = FAufrufDirectory = FProtokollDirectory = FFirmwarePath = prog;
    FLastFirmwareFile.clear();
    FImportPath = FLogPath = FMPPath = FDatabasePath = prog;
    FRawDataPath = CheckedDirectory(prog + "RAWDATA");
    FDatabase = "MORLIN.PRJ";
    for (int k = 0; k < kAddressCount; ++k)
        FAddressTranslation[k] = k + 1;
    FHints.fill(false);
    FAddressTranslationDefined = false;

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

    SetAntwortDirectory(s.ReadString("Directories\\Antwort").value_or(prog));
    SetAufrufDirectory(s.ReadString("Directories\\Aufruf").value_or(prog));
    SetProtokollDirectory(s.ReadString("Directories\\Protokolle").value_or(prog));
    SetFirmwarePath(s.ReadString("Directories\\Firmware").value_or(prog));
    FLastFirmwareFile = s.ReadString("Directories\\LastFirmwareFile").value_or("");
    FImportPath = s.ReadString("Directories\\Import").value_or(prog);
    SetLogPath(s.ReadString("Directories\\LogFiles").value_or(prog));
    SetMPPath(s.ReadString("Directories\\MP").value_or(prog));
    SetRawDataPath(s.ReadString("Directories\\RawData").value_or(prog + "RAWDATA"));
    SetDatabasePath(s.ReadString("Directories\\Database").value_or(prog));
    FDatabase = s.ReadString("Datenbank").value_or("MORLIN.PRJ");

    for (int a = 1; a <= kAddressCount; ++a) {
        const int32_t t = s.ReadInteger(AddressPath(a)).value_or(a);
        // A target outside 1..15 cannot be sent; keep the address as it is.
        FAddressTranslation[a - 1] = (t >= 1 && t <= kAddressCount) ? t : a;
    }
    RecomputeAddressTranslationDefined();
    for (int h = 0; h < kHintCount; ++h)
        FHints[h] = s.ReadBool(kHintPaths[h]).value_or(false);

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
    s.WriteString("Directories\\Antwort", FAntwortDirectory);
    s.WriteString("Directories\\Aufruf", FAufrufDirectory);
    s.WriteString("Directories\\Protokolle", FProtokollDirectory);
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
    s.Flush();
}

std::string TEnvironment::ImportPath() const {
    return DirectoryExists(FImportPath) ? FImportPath : ProgramDirectory();
}

void TEnvironment::SetImportPath(const std::string& dir) {
    FImportPath = DirectoryExists(dir) ? dir : ProgramDirectory();
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

void TEnvironment::WriteEnvironmentDump(const std::string& fileName) const {
    std::string d;
    auto line = [&](const std::string& s) { d += s + "\r\n"; };
    auto flagLine = [&](const char* name, bool v) {
        line(std::string(name) + " : " + BoolText(v));
    };
    line("-------- Beginn: Environment ------------------------");
    line("FLastDBError : " + FLastDBError);
    flagLine("FValuesValid", FValuesAreValid);
    line("FComport : " + std::to_string(FComPort));
    line("FImportPath : " + FImportPath);
    line("DatabasePath : " + DatabasePath());
    line("Database : " + Database());
    line("FFirmwarePath : " + FFirmwarePath);
    line("FLastFirmwareFile : " + FLastFirmwareFile);
    line("FAntwortDirectory : " + FAntwortDirectory);
    line("FAufrufDirectory : " + FAufrufDirectory);
    line("FLogPath : " + FLogPath);
    line("FProtokollDirectory : " + FProtokollDirectory);
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

    std::ofstream out(fileName, std::ios::binary | std::ios::app);
    if (!out) throw EFileError("Cannot open file " + fileName + " for writing.");
    out << d;
    out.close();
    if (!out) throw EFileError("Cannot write to file " + fileName + ".");
}

} // namespace vaskel
