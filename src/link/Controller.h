#pragma once
// TWBController: the one object through which Vaskel talks to the Tavrin.
// Its own thread serialises every write to the device; received bytes are
// decoded on the main thread when the link delivers them; results leave as
// notifications through the main-thread hand-over.

#include "link/AntwortListe.h"
#include "link/DeviceLink.h"
#include "link/DeviceProtocol.h"
#include "shell/HandOver.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vaskel {

// Notification numbers (window-message numbers of the original design).
enum class TControllerMessage : uint32_t {
    FMsgMasterTelegramm = 0x0405,
    FMsgSlaveTelegramm = 0x0406,
    FMsgStatus = 0x0407,
    FMsgVersion = 0x0408,
    FMsgDeviceText = 0x0409,
    FMsgLinkUp = 0x040A,
    FMsgLinkDown = 0x040B,
    FMsgRecordCount = 0x0411,
    FMsgUploadReply = 0x0412, // reply to an upload request (0x8B)
};

// Thread messages of the controller's own queue.
enum class TThreadMessage : uint32_t {
    FMsgSenden = 0x040D,
    FMsgCopy = 0x040E,
    FMsgModus = 0x040F,
};

struct TControllerNotification {
    TControllerMessage Msg{};
    uint32_t WParam = 0; // ring index, status byte, record count, link state
    TTelegramm Record;   // capture notifications: the completed record
    std::string Text;    // version, device text
    TUploadReplyStatus Upload = TUploadReplyStatus::urUndefined;
};

// Optional observers; all may be left empty.
struct TControllerHooks {
    std::function<void(const std::string&)> Trace; // debug trace lines
    std::function<void()> Beep;                    // information sound
    // Bytes written to the device (true) or received from it (false).
    std::function<void(bool toDevice, std::string_view bytes)> Traffic;
};

class TWBController : public IDecoderSink {
public:
    static constexpr int kSendRingSize = 256;
    static constexpr std::chrono::milliseconds kWakeUpInterval{2000};

    struct TOptions {
        // false: no thread is started; the owner drives ProcessThreadMessages
        // and WakeUpTimeout itself (tests).
        bool StartThread = true;
    };

    // The link is owned by the controller. Notifications are handed to
    // onNotify on the main thread through handOver.
    TWBController(std::unique_ptr<IDeviceLink> link, IMainThreadHandOver& handOver,
                  std::function<void(const TControllerNotification&)> onNotify,
                  TControllerHooks hooks = {});
    TWBController(std::unique_ptr<IDeviceLink> link, IMainThreadHandOver& handOver,
                  std::function<void(const TControllerNotification&)> onNotify,
                  TControllerHooks hooks, TOptions options);
    ~TWBController() override;
    TWBController(const TWBController&) = delete;
    TWBController& operator=(const TWBController&) = delete;

    int Port() const { return 255; }
    bool CTSZustand() const { return true; }

    bool SendRequest(std::string_view bytes);
    bool SetMode(int mode);
    bool CopyResponseList(const TAntwortListe& list);
    int WriteDataSeriellOrUSB(std::string_view bytes);

    int Mode() const { return FMode.load(); }
    bool SimulationBusy() const { return FSimulationBusy.load(); }
    std::string ControllerVersion() const;
    std::string LastMessage() const;
    TUploadReplyStatus UploadGoAheadReply() const;
    TDecoderState DecoderState() const;
    TAntwortListe ActiveResponseList() const;

    // The consumer of a capture notification has taken the record.
    void ReleaseMasterRecord(uint8_t index);
    void ReleaseSlaveRecord(uint8_t index);
    TTelegramm MasterRecord(uint8_t index) const;
    TTelegramm SlaveRecord(uint8_t index) const;

    IDeviceLink& Link() { return *FLink; }

    // Ends the thread (at the latest after the current wake-up) and waits.
    void Terminate();

    // The thread's work, callable directly when no thread was started.
    void ProcessThreadMessages();
    // One message of the queue; false when it was empty.
    bool ProcessNextThreadMessage();
    void WakeUpTimeout();
    // Opens the link as the thread does when it starts.
    void OpenLink();

    // Link callbacks (public for links that call them directly).
    void OnLinkData(char first, std::string_view rest);
    void OnLinkState(bool connected);

private:
    struct TSendEntry {
        std::string Text;
        uint8_t Check = 0;
        // which filling of the entry an announcement is for (24 bits): an
        // announcement made again for an entry written since is stale
        uint32_t Seq = 0;
        std::atomic<bool> Pending{false};
    };
    struct TThreadMsg {
        TThreadMessage Msg;
        uint32_t WParam;
    };

    // IDecoderSink (main thread, decoder lock held)
    void MasterTelegramm(uint8_t index, const TTelegramm& record) override;
    void SlaveTelegramm(uint8_t index, const TTelegramm& record) override;
    void StatusByte(uint8_t status) override;
    void VersionReceived(const std::string& version) override;
    void DeviceTextReceived(const std::string& text) override;
    void UploadReplyReceived(TUploadReplyStatus reply) override;
    void RecordCountReceived(uint32_t count) override;
    void RingOverrun(bool master) override;

    void Notify(TControllerNotification n);
    void PostThreadMessage(TThreadMessage msg, uint32_t wParam);
    void HandleThreadMessage(const TThreadMsg& m);
    void DownloadResponseList();
    void Run();
    void Trace(const std::string& s) const;

    std::unique_ptr<IDeviceLink> FLink;
    IMainThreadHandOver& FHandOver;
    std::shared_ptr<std::function<void(const TControllerNotification&)>> FNotifyTarget;
    TControllerHooks FHooks;

    mutable std::mutex FDecoderLock;
    TStreamDecoder FDecoder;

    std::array<TSendEntry, kSendRingSize> FSePuffer;
    std::mutex FSendLock; // callers of SendRequest
    uint8_t FSendIndex = 0;
    uint32_t FSendSeq = 0;

    std::atomic<int> FMode{0};
    int FRequestedMode = 1;
    std::atomic<bool> FModePending{false};
    std::atomic<bool> FSimulationBusy{false};

    mutable std::mutex FListLock;
    TAntwortListe FStagingList;
    TAntwortListe FActiveList;
    std::atomic<bool> FCopyPending{false};

    std::mutex FQueueLock;
    std::condition_variable FQueueSignal;
    std::deque<TThreadMsg> FQueue;
    bool FTerminate = false;
    uint32_t FLastWParam = 0;
    std::thread FThread;
};

} // namespace vaskel
