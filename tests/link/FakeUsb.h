#pragma once
// A scripted libusb: a bus of devices the test adds and removes, reads the
// test queues, and write results the test chooses. Transfers can be made to
// hang until released, and endpoints to stall until their halt is cleared.

#include "link/UsbApi.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vaskel::test {

class FakeUsb : public UsbApi {
public:
    struct Device {
        uint16_t Vendor = 0x3A7C, Product = 0x0006;
        uint8_t DevNum = 2;
        std::string Bus = "001";
        std::vector<usb_endpoint_descriptor> Endpoints;
        int ClaimResult = 0;
    };

    static usb_endpoint_descriptor Ep(uint8_t address, uint8_t attributes, uint16_t size) {
        usb_endpoint_descriptor d{};
        d.bLength = 7;
        d.bDescriptorType = 5;
        d.bEndpointAddress = address;
        d.bmAttributes = attributes;
        d.wMaxPacketSize = size;
        return d;
    }
    static Device Tavrin(uint8_t devNum = 2) {
        Device d;
        d.DevNum = devNum;
        d.Endpoints = {Ep(0x01, 3, 64), Ep(0x81, 3, 8), Ep(0x02, 2, 64), Ep(0x82, 2, 64)};
        return d;
    }

    // --- scripting (any thread)
    void AddDevice(const Device& d) {
        std::lock_guard<std::mutex> l(M);
        Devices.push_back(d);
    }
    void RemoveDevices() {
        std::lock_guard<std::mutex> l(M);
        Devices.clear();
    }
    void QueueRead(int rc, const std::string& data = "") {
        std::lock_guard<std::mutex> l(M);
        Reads.push_back({rc, data});
        Cv.notify_all();
    }
    void QueueWriteResult(int rc) {
        std::lock_guard<std::mutex> l(M);
        WriteResults.push_back(rc);
    }
    std::vector<std::string> Written() {
        std::lock_guard<std::mutex> l(M);
        return FWritten;
    }
    // Writes (reads) from now on hang until Release -- or, so that a test
    // of a transport that waits for them ends, until 10 s have passed.
    void HangWrites() {
        std::lock_guard<std::mutex> l(M);
        FHangWrites = true;
    }
    void HangReads() {
        std::lock_guard<std::mutex> l(M);
        FHangReads = true;
    }
    // Waits until a transfer hangs; false after 10 s.
    bool WaitForHangingTransfer() {
        std::unique_lock<std::mutex> l(M);
        return Cv.wait_for(l, std::chrono::seconds(10), [this] { return Hanging > 0; });
    }
    int HangingTransfers() {
        std::lock_guard<std::mutex> l(M);
        return Hanging;
    }
    void Release() {
        std::lock_guard<std::mutex> l(M);
        FHangWrites = FHangReads = false;
        Cv.notify_all();
    }
    // The endpoint answers -EPIPE until its halt is cleared.
    void Stall(int ep) {
        std::lock_guard<std::mutex> l(M);
        Stalled.insert(ep);
        Cv.notify_all();
    }
    // Handles opened and not closed yet.
    std::size_t OpenHandles() {
        std::lock_guard<std::mutex> l(M);
        return Open.size();
    }
    std::vector<int> HaltsCleared() {
        std::lock_guard<std::mutex> l(M);
        return FHaltsCleared;
    }

    // A transport's workers may outlive it: they are done before this goes.
    ~FakeUsb() override {
        Release();
        WaitUntilUnused(*this);
    }

    std::atomic<int> FindBussesCalls{0};
    std::atomic<int> OpenCalls{0};
    std::atomic<int> WriteAttempts{0};
    std::atomic<int> ReadTimeouts{0}; // interrupt reads that found nothing
    std::atomic<bool> BlockWrites{false};

    // --- UsbApi
    void usb_init() override {}
    void usb_set_debug(int) override {}
    int usb_find_busses() override {
        std::lock_guard<std::mutex> l(M);
        ++FindBussesCalls;
        return 0;
    }
    int usb_find_devices() override {
        std::lock_guard<std::mutex> l(M);
        Rebuild();
        return 0;
    }
    struct usb_bus* usb_get_busses() override {
        std::lock_guard<std::mutex> l(M);
        return Busses.empty() ? nullptr : &Busses.front();
    }
    usb_dev_handle* usb_open(struct usb_device* dev) override {
        std::lock_guard<std::mutex> l(M);
        ++OpenCalls;
        auto* h = reinterpret_cast<usb_dev_handle*>(static_cast<uintptr_t>(0x1000 + ++NextHandle));
        Open[h] = dev->devnum;
        return h;
    }
    int usb_close(usb_dev_handle* h) override {
        std::lock_guard<std::mutex> l(M);
        Open.erase(h);
        return 0;
    }
    int usb_set_configuration(usb_dev_handle*, int) override { return 0; }
    int usb_claim_interface(usb_dev_handle* h, int) override {
        std::lock_guard<std::mutex> l(M);
        for (const auto& d : Devices)
            if (Open.count(h) && d.DevNum == Open[h]) return d.ClaimResult;
        return -ENODEV;
    }
    int usb_release_interface(usb_dev_handle*, int) override { return 0; }
    int usb_reset(usb_dev_handle*) override { return 0; }
    int usb_clear_halt(usb_dev_handle*, unsigned int ep) override {
        std::lock_guard<std::mutex> l(M);
        Stalled.erase(static_cast<int>(ep));
        FHaltsCleared.push_back(static_cast<int>(ep));
        return 0;
    }
    int usb_interrupt_write(usb_dev_handle* h, int ep, const char* bytes, int size, int) override {
        std::unique_lock<std::mutex> l(M);
        ++WriteAttempts;
        if (!Open.count(h)) return -ENODEV;
        if (Stalled.count(ep)) return -EPIPE;
        if (FHangWrites) {
            Hang(l, FHangWrites);
            return -ETIMEDOUT;
        }
        if (BlockWrites) {
            l.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return -ETIMEDOUT;
        }
        if (!WriteResults.empty()) {
            const int rc = WriteResults.front();
            WriteResults.pop_front();
            if (rc < 0) return rc;
        }
        FWritten.emplace_back(bytes, static_cast<std::size_t>(size));
        return size;
    }
    int usb_interrupt_read(usb_dev_handle* h, int ep, char* bytes, int size, int timeout) override {
        std::unique_lock<std::mutex> l(M);
        if (!Open.count(h)) return -ENODEV;
        if (FHangReads) {
            Hang(l, FHangReads);
            return -ETIMEDOUT;
        }
        Cv.wait_for(l, std::chrono::milliseconds(std::min(timeout, 20)),
                    [&] { return !Reads.empty() || Stalled.count(ep); });
        if (Stalled.count(ep)) {
            LastError = "Broken pipe";
            return -EPIPE;
        }
        if (Reads.empty()) {
            // as the library says it
            LastError = "Connection timed out";
            ++ReadTimeouts;
            return -ETIMEDOUT;
        }
        auto [rc, data] = Reads.front();
        Reads.pop_front();
        if (rc < 0) {
            LastError = "scripted error " + std::to_string(rc);
            return rc;
        }
        const int n = std::min(size, static_cast<int>(data.size()));
        std::memcpy(bytes, data.data(), static_cast<std::size_t>(n));
        return n;
    }
    int usb_bulk_write(usb_dev_handle* h, int ep, const char* b, int size, int t) override {
        return usb_interrupt_write(h, ep, b, size, t);
    }
    int usb_bulk_read(usb_dev_handle* h, int, char*, int, int timeout) override {
        // no bulk traffic in these tests
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeout, 20)));
        std::lock_guard<std::mutex> l(M);
        return Open.count(h) ? -ETIMEDOUT : -ENODEV;
    }
    std::string usb_strerror() override {
        std::lock_guard<std::mutex> l(M);
        return LastError;
    }

private:
    void Hang(std::unique_lock<std::mutex>& l, const bool& flag) {
        ++Hanging;
        Cv.notify_all();
        Cv.wait_for(l, std::chrono::seconds(10), [&] { return !flag; });
        --Hanging;
    }

    struct DeviceStore {
        struct usb_device Dev {};
        usb_config_descriptor Config{};
        usb_interface Interface{};
        usb_interface_descriptor Alt{};
        std::vector<usb_endpoint_descriptor> Endpoints;
    };

    // Builds the bus list anew, as the library does on every scan.
    void Rebuild() {
        Busses.clear();
        Stores.clear();
        for (const auto& d : Devices) {
            usb_bus* bus = nullptr;
            for (auto& b : Busses)
                if (d.Bus == b.dirname) bus = &b;
            if (!bus) {
                Busses.emplace_back();
                bus = &Busses.back();
                std::memset(bus, 0, sizeof *bus);
                std::strncpy(bus->dirname, d.Bus.c_str(), sizeof bus->dirname - 1);
            }
            Stores.emplace_back();
            DeviceStore& s = Stores.back();
            s.Endpoints = d.Endpoints;
            s.Alt.bNumEndpoints = static_cast<uint8_t>(s.Endpoints.size());
            s.Alt.endpoint = s.Endpoints.data();
            s.Interface.altsetting = &s.Alt;
            s.Interface.num_altsetting = 1;
            s.Config.bNumInterfaces = 1;
            s.Config.interface = &s.Interface;
            s.Dev.descriptor.idVendor = d.Vendor;
            s.Dev.descriptor.idProduct = d.Product;
            s.Dev.descriptor.bNumConfigurations = 1;
            s.Dev.config = &s.Config;
            s.Dev.devnum = d.DevNum;
            std::snprintf(s.Dev.filename, sizeof s.Dev.filename, "%03u", d.DevNum);
            s.Dev.bus = bus;
            s.Dev.next = bus->devices;
            bus->devices = &s.Dev;
        }
        usb_bus* prev = nullptr;
        for (auto it = Busses.rbegin(); it != Busses.rend(); ++it) {
            it->next = prev;
            prev = &*it;
        }
    }

    std::mutex M;
    std::condition_variable Cv;
    std::vector<Device> Devices;
    std::list<usb_bus> Busses;
    std::list<DeviceStore> Stores;
    std::deque<std::pair<int, std::string>> Reads;
    std::deque<int> WriteResults;
    std::vector<std::string> FWritten;
    std::map<usb_dev_handle*, int> Open;
    int NextHandle = 0;
    std::string LastError;
    bool FHangWrites = false, FHangReads = false;
    int Hanging = 0;
    std::set<int> Stalled;
    std::vector<int> FHaltsCleared;
};

} // namespace vaskel::test
