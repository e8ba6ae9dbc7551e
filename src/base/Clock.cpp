#include "base/Clock.h"

namespace kv {

namespace {
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

std::unique_ptr<Clock>& slot()
{
    static std::unique_ptr<Clock> c = std::make_unique<SystemClock>();
    return c;
}
} // namespace

Clock& Clock::instance() { return *slot(); }

std::unique_ptr<Clock> Clock::install(std::unique_ptr<Clock> c)
{
    auto old = std::move(slot());
    slot() = c ? std::move(c) : std::make_unique<SystemClock>();
    return old;
}

} // namespace kv
