#pragma once
// Answers the next modal dialog or message box without blocking the test: polls for the
// active modal widget and hands it to `act`, which must close it.
#include <QApplication>
#include <QTimer>
#include <functional>

namespace kvtest {

inline void onNextModal(std::function<void(QWidget*)> act, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto* elapsed = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, act, timeoutMs] {
        *elapsed += 10;
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
            act(w);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
        }
    });
    timer->start(10);
}

} // namespace kvtest
