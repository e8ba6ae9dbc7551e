#include "platform/IdleTime.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <cmath>

namespace kv {

// IdleTimeX11.cpp: nullptr when there is no X display or it lacks the extension.
std::unique_ptr<IdleSource> MakeXssIdleSource();

namespace {

// Watches the program's own input events: the fallback where the desktop tells nothing.
class AppInputIdle : public QObject, public IdleSource {
public:
    AppInputIdle()
    {
        since_.start();
        if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    }
    quint64 msInactivo() override { return quint64(since_.elapsed()); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            since_.restart();
            break;
        default:
            break;
        }
        return QObject::eventFilter(o, e);
    }

private:
    QElapsedTimer since_;
};

std::unique_ptr<IdleSource> makeDefault()
{
    if (auto x = MakeXssIdleSource()) return x;
    return std::make_unique<AppInputIdle>();
}

std::unique_ptr<IdleSource>& slot()
{
    static std::unique_ptr<IdleSource> s;
    return s;
}

} // namespace

IdleSource& IdleSource::instance()
{
    if (!slot()) slot() = makeDefault();
    return *slot();
}

std::unique_ptr<IdleSource> IdleSource::install(std::unique_ptr<IdleSource> s)
{
    auto old = std::move(slot());
    slot() = std::move(s);
    return old;
}

double MinutosInactivo(quint64 ms)
{
    // Hundredths, halves upward: 0.005 min (300 ms) shows as 0.01.
    return std::floor(double(ms) / 600.0 + 0.5) / 100.0;
}

double MinutosInactivo() { return MinutosInactivo(IdleSource::instance().msInactivo()); }

} // namespace kv
