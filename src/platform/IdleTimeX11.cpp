// The desktop's idle time from the X11 screensaver extension. Kept apart: the X11 headers
// define macros (KeyPress, ...) that clash with Qt's names.
#include "platform/IdleTime.h"

#ifdef KELVORA_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace kv {

#ifdef KELVORA_HAVE_XSS
namespace {
class XssIdle : public IdleSource {
public:
    // nullptr when there is no X display or it lacks the extension.
    static std::unique_ptr<IdleSource> make()
    {
        Display* d = XOpenDisplay(nullptr);
        if (!d) return nullptr;
        int ev = 0, err = 0;
        if (!XScreenSaverQueryExtension(d, &ev, &err)) {
            XCloseDisplay(d);
            return nullptr;
        }
        return std::unique_ptr<IdleSource>(new XssIdle(d));
    }
    ~XssIdle() override
    {
        if (info_) XFree(info_);
        XCloseDisplay(d_);
    }
    quint64 msInactivo() override
    {
        if (!info_ || !XScreenSaverQueryInfo(d_, DefaultRootWindow(d_), info_)) return 0;
        return quint64(info_->idle);
    }

private:
    explicit XssIdle(Display* d) : d_(d), info_(XScreenSaverAllocInfo()) {}
    Display* d_;
    XScreenSaverInfo* info_;
};
} // namespace

std::unique_ptr<IdleSource> MakeXssIdleSource() { return XssIdle::make(); }
#else
std::unique_ptr<IdleSource> MakeXssIdleSource() { return nullptr; }
#endif

} // namespace kv
