#pragma once
// How long the desk has been idle. The real source asks the X11 screensaver extension
// (input anywhere on the desktop) when the display has it, and otherwise counts from the
// program's own last keyboard or mouse input. Tests install a source they drive by hand.
#include <QtGlobal>
#include <memory>

namespace kv {

class IdleSource {
public:
    virtual ~IdleSource() = default;
    // Milliseconds since the last keyboard or mouse input.
    virtual quint64 msInactivo() = 0;

    static IdleSource& instance();
    static std::unique_ptr<IdleSource> install(std::unique_ptr<IdleSource> s);
};

// A source whose idle time is set by hand.
class ManualIdleSource : public IdleSource {
public:
    quint64 msInactivo() override { return ms_; }
    void set(quint64 ms) { ms_ = ms; }
    void input() { ms_ = 0; }
    void advance(quint64 ms) { ms_ += ms; }
private:
    quint64 ms_ = 0;
};

// Idle minutes to the nearest hundredth, halves upward.
double MinutosInactivo(quint64 msInactivo);
double MinutosInactivo();

} // namespace kv
