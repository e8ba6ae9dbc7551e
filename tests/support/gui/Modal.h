#pragma once
// Answers the next modal dialog or message box without blocking the test: polls for the
// active modal widget and hands it to `act`, which must close it. The returned watcher
// can be stopped early (it is null once it has acted or timed out).
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace kvtest {

inline QPointer<QTimer> onNextModal(std::function<void(QWidget*)> act, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, act, timeoutMs] {
        *elapsed += 10;
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return timer;
}

// Stops a watcher that is no longer wanted (the dialog it waited for did not come).
inline void stopWatching(QPointer<QTimer> watcher)
{
    if (watcher) {
        watcher->stop();
        watcher->deleteLater();
    }
}

} // namespace kvtest
