#pragma once
// The main window's "Sábana" button: opens the person grid with the window's timer
// stopped and its reaction to the current person suspended.
#include "base/forms/MainShell.h"
#include <QObject>

class QTimer;

namespace kv {

class DataSource;

class SabanaCommands : public QObject {
    Q_OBJECT
public:
    SabanaCommands(MainShell& shell, QObject* parent);

public slots:
    void BtnSabanaClick();

private:
    MainShell& shell_;
    QTimer* timer_ = nullptr;   // the main window's clock (exits and uploads)
    DataSource* ds_ = nullptr;  // the main window's persons source
};

} // namespace kv
