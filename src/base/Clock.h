#pragma once
// Where the program reads the time. Tests fix it.
#include <QDateTime>
#include <memory>

namespace kv {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }

    static Clock& instance();
    static std::unique_ptr<Clock> install(std::unique_ptr<Clock> c);
};

// A clock that always says the same time until told otherwise.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime t) : t_(std::move(t)) {}
    QDateTime now() const override { return t_; }
    void set(const QDateTime& t) { t_ = t; }
    void advance(int secs) { t_ = t_.addSecs(secs); }
private:
    QDateTime t_;
};

} // namespace kv
