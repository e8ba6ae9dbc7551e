#include "platform/QuitRequest.h"
#include <QCoreApplication>
#include <QTimer>

namespace kv {

namespace {
bool& flag()
{
    static bool pending = false;
    return pending;
}
} // namespace

void PostQuit()
{
    flag() = true;
    // exit() leaves every event loop now running (modal dialogs included) and makes new
    // ones return at once until the application's own loop starts again.
    if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

bool QuitPending() { return flag(); }

void ClearQuitRequest()
{
    flag() = false;
    // Qt forgets a pending exit only when its main loop starts: run it once, empty.
    if (QCoreApplication::instance()) {
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
}

} // namespace kv
