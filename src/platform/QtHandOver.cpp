#include "platform/QtHandOver.h"

#include <QMetaObject>
#include <QTimer>

namespace vaskel {

void TQtHandOver::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        FContext, [t = std::move(task)] { t(); }, Qt::QueuedConnection);
}

namespace {

class TQtTimer : public ITimer {
public:
    TQtTimer() {
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            if (OnTimer) OnTimer();
        });
    }
    void Start(int intervalMs) override { FTimer.start(std::max(1, intervalMs)); }
    void Stop() override { FTimer.stop(); }
    bool Running() const override { return FTimer.isActive(); }
    int Interval() const override { return FTimer.interval(); }

private:
    QTimer FTimer;
};

} // namespace

std::unique_ptr<ITimer> TQtTimerFactory::CreateTimer() {
    return std::make_unique<TQtTimer>();
}

} // namespace vaskel
