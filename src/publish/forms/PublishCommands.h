#pragma once
// The publication commands of the main window: "Subir a Internet" and "Consultantes".
#include <QObject>

namespace kv {

class MainShell;

class PublishCommands : public QObject {
    Q_OBJECT
public:
    PublishCommands(MainShell& shell, QObject* parent);

public slots:
    void SubirAInternetClick();
    void btnConsultantesClick();

private:
    MainShell& shell_;
};

} // namespace kv
