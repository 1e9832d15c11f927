#pragma once
// Hand-over to the main thread: worker threads post work that must run on
// the main thread. The Qt layer delivers it with queued calls; tests pump a
// queue they control.

#include <deque>
#include <functional>
#include <mutex>

namespace vaskel {

class IMainThreadHandOver {
public:
    virtual ~IMainThreadHandOver() = default;
    // Called from any thread; the task runs later on the main thread.
    virtual void Post(std::function<void()> task) = 0;
};

// A queue the owner drains by hand (tests, command-line tools).
class TManualHandOver : public IMainThreadHandOver {
public:
    void Post(std::function<void()> task) override {
        std::lock_guard<std::mutex> lock(FLock);
        FTasks.push_back(std::move(task));
    }
    // Runs every task queued so far, including tasks those tasks post.
    // Returns the number of tasks run.
    std::size_t Pump() {
        std::size_t n = 0;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard<std::mutex> lock(FLock);
                if (FTasks.empty()) return n;
                task = std::move(FTasks.front());
                FTasks.pop_front();
            }
            task();
            ++n;
        }
    }
    std::size_t Pending() const {
        std::lock_guard<std::mutex> lock(FLock);
        return FTasks.size();
    }

private:
    mutable std::mutex FLock;
    std::deque<std::function<void()>> FTasks;
};

} // namespace vaskel
