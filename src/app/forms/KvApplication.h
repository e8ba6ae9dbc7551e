#pragma once
// The application object of the program. Any error that escapes an event handler is
// shown in a message box and the program goes on with the next event.
#include <QApplication>

class KvApplication : public QApplication {
    Q_OBJECT
public:
    KvApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Delivers one event through `app`, showing whatever error escapes its handler.
    static bool deliverGuarded(QApplication* app, QObject* receiver, QEvent* event);

    // Installs Qt's own Spanish texts (file dialogs, standard buttons) on `app` and returns
    // the translator (owned by `app`); nullptr when the translations are not installed.
    static class QTranslator* loadQtSpanish(QCoreApplication& app);
};
