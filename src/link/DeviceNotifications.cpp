#include "link/DeviceNotifications.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <dbt.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace vaskel {

namespace {

// DEV_BROADCAST_DEVICEINTERFACE_A: size, device type and a reserved field
// (32 bits each), the class GUID (16 bytes), then the device path.
constexpr std::size_t kRecordSizeAt = 0;
constexpr std::size_t kRecordTypeAt = 4;
constexpr std::size_t kRecordNameAt = 28;
constexpr std::uint32_t kDeviceInterfaceRecord = 5; // DBT_DEVTYP_DEVICEINTERFACE

std::uint32_t Read32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

std::optional<TDeviceChange> ReadDeviceChange(unsigned long event, const void* record) {
    if ((event != kDeviceArrival && event != kDeviceRemoveComplete) || !record) return {};
    const auto* r = static_cast<const unsigned char*>(record);
    const std::uint32_t size = Read32(r + kRecordSizeAt);
    if (size < kRecordNameAt || Read32(r + kRecordTypeAt) != kDeviceInterfaceRecord) return {};
    // the path ends at its NUL, or at the end of the record
    const char* name = reinterpret_cast<const char*>(r + kRecordNameAt);
    const std::size_t room = size - kRecordNameAt;
    const void* nul = std::memchr(name, 0, room);
    const std::size_t length = nul ? static_cast<const char*>(nul) - name : room;
    return TDeviceChange{event == kDeviceArrival, std::string(name, length)};
}

#ifdef _WIN32

namespace {

// GUID_DEVINTERFACE_USB_DEVICE {A5DCBF10-6530-11D2-901F-00C04FB951ED}
constexpr GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr const char* kWindowClass = "VaskelDeviceNotifications";

class TWindowsDeviceNotifications : public TDeviceNotifications {
public:
    explicit TWindowsDeviceNotifications(TCallback onChange) : FOnChange(std::move(onChange)) {}

    bool Run() {
        FThread = std::thread([this] { Listen(); });
        std::unique_lock<std::mutex> l(FLock);
        FReady.wait(l, [this] { return FStarted; });
        return FWindow != nullptr;
    }

    ~TWindowsDeviceNotifications() override {
        HWND window;
        {
            std::lock_guard<std::mutex> l(FLock);
            window = FWindow;
        }
        if (window) ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (FThread.joinable()) FThread.join();
    }

private:
    void Listen() {
        const HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = &TWindowsDeviceNotifications::WindowProc;
        cls.hInstance = instance;
        cls.lpszClassName = kWindowClass;
        ::RegisterClassExA(&cls); // a second listener finds the class there
        HWND window = ::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        instance, nullptr);
        HDEVNOTIFY registration = nullptr;
        if (window) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            DEV_BROADCAST_DEVICEINTERFACE_A filter{};
            filter.dbcc_size = sizeof filter;
            filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            filter.dbcc_classguid = kUsbDeviceInterface;
            registration =
                ::RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
            if (!registration) {
                ::DestroyWindow(window);
                window = nullptr;
            }
        }
        {
            std::lock_guard<std::mutex> l(FLock);
            FWindow = window;
            FStarted = true;
        }
        FReady.notify_all();
        if (!window) return;
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::UnregisterDeviceNotification(registration);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TWindowsDeviceNotifications*>(
            ::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_DEVICECHANGE:
            if (self) {
                if (auto change = ReadDeviceChange(static_cast<unsigned long>(wParam),
                                                   reinterpret_cast<const void*>(lParam)))
                    self->FOnChange(*change);
            }
            return TRUE;
        case WM_CLOSE:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
    }

    TCallback FOnChange;
    std::thread FThread;
    std::mutex FLock;
    std::condition_variable FReady;
    bool FStarted = false;
    HWND FWindow = nullptr;
};

} // namespace

std::unique_ptr<TDeviceNotifications> TDeviceNotifications::Start(TCallback onChange) {
    auto n = std::make_unique<TWindowsDeviceNotifications>(std::move(onChange));
    if (!n->Run()) return nullptr;
    return n;
}

#else

std::unique_ptr<TDeviceNotifications> TDeviceNotifications::Start(TCallback) {
    return nullptr;
}

#endif

} // namespace vaskel
