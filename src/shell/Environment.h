#pragma once
// TEnvironment: the one settings object. Reads every persisted setting when
// it is created, writes them all back when it is destroyed, and holds the
// values the windows share while the program runs.

#include "shell/DebugClass.h"
#include "shell/SettingsStorage.h"
#include "shell/SystemPlatform.h"
#include "telegram/Catalogue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vaskel {

// Where the data folder lies (see TEnvironment::DataPlace).
enum class TDataPlace { Documents, UserData, Program };

// The one-time hints; each is shown once per user.
enum class THint {
    DS003aHintGiven,
    DS003cHintGiven,
    DS021HintGiven,
    DblClickFileOpenHintGiven,
    MasterSlaveHintGiven,
    GridDblClickHintGiven,
    SendDelayHintGiven,
    FilterHint,
    LockedGridHintGiven,
    GridErrorDblClickHintGiven,
    AddressTranslationHintGiven,
    AddressTranslationAutoCloseHintGiven,
    DataFolderHintGiven,
};
inline constexpr int kHintCount = 13;
// The stored path of a hint flag ("Hints\\...").
const char* HintPath(THint hint);

inline constexpr int kAddressCount = 15;

// Where the main window was: its client area on the desktop and whether it
// was maximised. None is remembered while the width or height is 0.
struct TWindowGeometry {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    bool Maximized = false;
    bool Known() const { return Width > 0 && Height > 0; }
    bool operator==(const TWindowGeometry&) const = default;
};

// The kinds of file whose folder is a setting of the settings dialog.
enum class TFileFolder { Protokolle, Antwort, Aufruf };

// What the settings dialog's "Standardwerte wiederherstellen" puts back: the
// first run's values of the settings the dialog shows.
struct TDialogDefaults {
    int32_t Language = 1;
    bool ReloadResponseList = false;
    bool ReformatUandD = true;
    TBusType BusType = TBusType::bsVehicleBus;
    std::string ProtokollDirectory, AntwortDirectory, AufrufDirectory;
    int32_t MasterTimeout = 500;
    int32_t SlaveTimeOut = 500;
};

// Text of the dialog shown when a fatal error is reported through LastDBError.
extern const char* const kFatalErrorDialogText;

class TEnvironment {
public:
    // storage may be null: then the defaults are used, nothing is read or
    // written, and ValuesAreValid stays false.
    TEnvironment(ISettingsStorage* storage, const ISystemPlatform& platform);
    ~TEnvironment();
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

    void LoadSettings();
    void SaveSettings();

    // "Software\\Korvane\\" + the program file's name without extension.
    static std::string RegistryRootFor(const std::string& programFile);
    std::string RegistryRoot() const { return RegistryRootFor(FPlatform.ProgramFile()); }
    std::string ProgramFileName() const { return FPlatform.ProgramFile(); }
    // Directory of the program file, with delimiter.
    std::string ProgramDirectory() const;

    // Persisted settings.
    int32_t ComPort() const { return FComPort; }
    void SetComPort(int32_t v) { FComPort = v; }
    int32_t MasterTimeout() const { return FMasterTimeout; }
    void SetMasterTimeout(int32_t v) { FMasterTimeout = v; }
    int32_t SlaveTimeOut() const { return FSlaveTimeOut; }
    void SetSlaveTimeOut(int32_t v) { FSlaveTimeOut = v; }
    bool ReloadResponseList() const { return FReloadResponseList; }
    void SetReloadResponseList(bool v) { FReloadResponseList = v; }
    TBusType BusType() const { return FBusType; }
    void SetBusType(TBusType v) { FBusType = v; }
    int32_t Language() const { return FLanguage; }
    void SetLanguage(int32_t v) { FLanguage = v; }
    const std::string& Aufrufe() const { return FAufrufe; }
    void SetAufrufe(std::string v) { FAufrufe = std::move(v); }
    bool ReformatUandD() const { return FReformatUandD; }
    void SetReformatUandD(bool v) { FReformatUandD = v; }
    bool ConvertIBISCharacters() const { return FConvertIBISCharacters; }
    void SetConvertIBISCharacters(bool v) { FConvertIBISCharacters = v; }
    // true: controls use the system colours; false: the program's own scheme.
    bool UseWindowsColorSchema() const { return FUseWindowsColorSchema; }
    void SetUseWindowsColorSchema(bool v) { FUseWindowsColorSchema = v; }

    // The folders of protocols, response lists and call lists as the user
    // set them (the settings dialog). Opening and saving files never
    // changes them: that is remembered apart (RememberDirectory). A folder
    // that differs from the one before forgets the remembered one, so the
    // file dialogs start in the folder just set.
    const std::string& AntwortDirectory() const { return Folder(TFileFolder::Antwort); }
    void SetAntwortDirectory(const std::string& dir) { SetFolder(TFileFolder::Antwort, dir); }
    const std::string& AufrufDirectory() const { return Folder(TFileFolder::Aufruf); }
    void SetAufrufDirectory(const std::string& dir) { SetFolder(TFileFolder::Aufruf, dir); }
    const std::string& ProtokollDirectory() const { return Folder(TFileFolder::Protokolle); }
    void SetProtokollDirectory(const std::string& dir) { SetFolder(TFileFolder::Protokolle, dir); }
    const std::string& Folder(TFileFolder kind) const { return FFolders[Index(kind)]; }
    void SetFolder(TFileFolder kind, const std::string& dir);
    // The folder a file of the kind was last opened from or saved to; ""
    // when none, or when it no longer exists.
    std::string LastDirectory(TFileFolder kind) const;
    void RememberDirectory(TFileFolder kind, const std::string& dir);
    // Where the file dialogs of the kind start: the last folder while there
    // is one, else the setting.
    std::string DialogDirectory(TFileFolder kind) const;
    // Where the folders are when nothing else is set: the data folder (in
    // the documents; see DataPlace), not the program's folder, which the
    // user cannot write once the program is installed.
    std::string DefaultDirectory() const { return DataDirectory(); }
    TDialogDefaults DialogDefaults() const;

    const std::string& FirmwarePath() const { return FFirmwarePath; }
    void SetFirmwarePath(const std::string& dir) { FFirmwarePath = CheckedDirectory(dir); }
    const std::string& LastFirmwareFile() const { return FLastFirmwareFile; }
    void SetLastFirmwareFile(std::string v) { FLastFirmwareFile = std::move(v); }
    // Stored as given (no delimiter added); read back only while it exists.
    std::string ImportPath() const;
    void SetImportPath(const std::string& dir);
    const std::string& LogPath() const { return FLogPath; }
    void SetLogPath(const std::string& dir) { FLogPath = CheckedDirectory(dir); }
    // Kept for older versions only; beside the program as they always were.
    const std::string& MPPath() const { return FMPPath; }
    void SetMPPath(const std::string& dir) {
        FMPPath = CheckedDirectory(dir, ProgramDirectory());
    }
    const std::string& RawDataPath() const { return FRawDataPath; }
    void SetRawDataPath(const std::string& dir) {
        FRawDataPath = CheckedDirectory(dir, ProgramDirectory());
    }
    std::string DatabasePath() const;
    void SetDatabasePath(const std::string& dir) {
        FDatabasePath = CheckedDirectory(dir, ProgramDirectory());
    }
    // A file name inside DatabasePath; empty while that file does not exist.
    std::string Database() const;
    void SetDatabase(const std::string& fileOrPath);

    // Address translation table, addresses 1..15.
    int32_t GetAddressTranslation(int address) const;
    void SetAddressTranslation(int address, int32_t target);
    bool IBISAddressTranslationDefined() const { return FAddressTranslationDefined; }
    // One IBIS-hex address digit rewritten through the table.
    std::string TranslateAddressDigit(const std::string& ibisHexDigit) const;

    // The main window's size and place, kept from one run to the next.
    const TWindowGeometry& MainWindowGeometry() const { return FMainWindowGeometry; }
    void SetMainWindowGeometry(const TWindowGeometry& g) { FMainWindowGeometry = g; }

    bool HintGiven(THint hint) const { return FHints[static_cast<int>(hint)]; }
    // A hint given is stored at once: it comes once per installation, even
    // when the program does not end in order.
    void SetHintGiven(THint hint, bool given = true);

    // Values kept only while the program runs.
    bool ValuesAreValid() const { return FValuesAreValid; }
    const std::string& LastDBError() const { return FLastDBError; }
    // A non-empty text is reported through OnFatalError (error report entry
    // and the fatal-error dialog).
    void SetLastDBError(const std::string& text);
    std::function<void(const std::string&)> OnFatalError;

    // The error report's collector, from construction to destruction.
    TDebugClass& Debugger() const { return *FDebugger; }
    // The file the last fatal error's report went to (empty: none written).
    const std::string& LastErrorReport() const { return FLastErrorReport; }

    bool ResetTG() const { return FResetTG; }
    void SetResetTG(bool v) { FResetTG = v; }
    // Empty once the file no longer exists.
    std::string LastLoadedResponseList() const;
    void SetLastLoadedResponseList(const std::string& file);
    int32_t ProtocolSendDelay() const { return FProtocolSendDelay; }
    void SetProtocolSendDelay(int32_t v) { FProtocolSendDelay = v == 0 ? 1 : v; }
    const std::string& FilterSatzArten() const { return FFilterSatzArten; }
    void SetFilterSatzArten(std::string v) { FFilterSatzArten = std::move(v); }
    const std::string& FilterKuerzel() const { return FFilterKuerzel; }
    void SetFilterKuerzel(std::string v) { FFilterKuerzel = std::move(v); }
    bool NeverFilterErrors() const { return FNeverFilterErrors; }
    void SetNeverFilterErrors(bool v) { FNeverFilterErrors = v; }
    bool FilterWindowWasOpened() const { return FFilterWindowWasOpened; }
    void SetFilterWindowWasOpened(bool v) { FFilterWindowWasOpened = v; }
    int32_t IBISAddressTranslationMode() const { return FAddressTranslationMode; }
    void SetIBISAddressTranslationMode(int32_t v) { FAddressTranslationMode = v; }

    // Shared folders, with delimiter; the program directory when unknown.
    std::string CommonDocumentsDirectory() const;
    std::string AllUserDataDirectory() const;
    // The user's own data folder, with delimiter (it need not exist yet);
    // "" when unknown.
    std::string UserDataDirectory() const;
    // Where the data folder lies: in the shared documents folder; when there
    // is none, in the user's own data folder (the program's folder is
    // read-only once installed); only when that is unknown too, in the
    // program's folder.
    TDataPlace DataPlace() const;
    // The data folder: that place + "Vaskel" + delimiter.
    std::string DataDirectory() const;
    int ColorDepthBit() const;

    // The settings dump (CR LF lines), and the same appended to the text
    // file (created when missing), whole or not at all. Throws EFileError
    // when the file cannot be written.
    std::string EnvironmentDump() const;
    void WriteEnvironmentDump(const std::string& fileName) const;

private:
    void SetDefaults();
    // The folder with delimiter while it exists; else fallback (by default
    // DefaultDirectory).
    std::string CheckedDirectory(const std::string& dir) const;
    std::string CheckedDirectory(const std::string& dir, const std::string& fallback) const;
    static std::size_t Index(TFileFolder kind) { return static_cast<std::size_t>(kind); }
    void RecomputeAddressTranslationDefined();

    ISettingsStorage* FStorage;
    const ISystemPlatform& FPlatform;

    int32_t FComPort = -1;
    int32_t FMasterTimeout = 500;
    int32_t FSlaveTimeOut = 500;
    bool FReloadResponseList = false;
    TBusType FBusType = TBusType::bsVehicleBus;
    int32_t FLanguage = 1;
    std::string FAufrufe;
    bool FReformatUandD = true;
    bool FConvertIBISCharacters = true;
    bool FUseWindowsColorSchema = false;
    std::array<std::string, 3> FFolders;     // by TFileFolder
    std::array<std::string, 3> FLastFolders; // by TFileFolder; "" none
    std::string FFirmwarePath;
    std::string FLastFirmwareFile;
    std::string FImportPath, FLogPath, FMPPath, FRawDataPath, FDatabasePath, FDatabase;
    std::array<int32_t, kAddressCount> FAddressTranslation{};
    std::array<bool, kHintCount> FHints{};
    TWindowGeometry FMainWindowGeometry;

    bool FValuesAreValid = false;
    std::string FLastDBError;
    std::unique_ptr<TDebugClass> FDebugger;
    std::string FLastErrorReport;
    bool FResetTG = false;
    std::string FLastLoadedResponseList;
    int32_t FProtocolSendDelay = 1;
    std::string FFilterSatzArten, FFilterKuerzel;
    bool FNeverFilterErrors = true;
    bool FFilterWindowWasOpened = false;
    int32_t FAddressTranslationMode = 0;
    bool FAddressTranslationDefined = false;
};

} // namespace vaskel
