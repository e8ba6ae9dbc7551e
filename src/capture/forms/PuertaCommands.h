#pragma once
// What the door desk offers beyond the capture itself: the window of who is inside now
// (menu "Herramientas", open to every user level) and the publication queue in the
// status area.
#include <QObject>
#include <QPointer>

class QAction;
class QLabel;
class TFrmDentro;
namespace kv { class ColaSubida; class MainShell; }

class PuertaCommands : public QObject {
    Q_OBJECT
public:
    PuertaCommands(kv::MainShell& shell, QObject* parent);

    // Opens the window, or brings it forward when it is open already.
    void PersonasDentroClick();
    // The queue of the chosen site (nullptr with no site).
    kv::ColaSubida* cola() const { return cola_; }

    QAction* PersonasDentro1 = nullptr;
    QLabel* LblPendientes = nullptr;
    QLabel* LblUltimaSubida = nullptr;

private:
    void mostrarCola();

    kv::MainShell& shell_;
    kv::ColaSubida* cola_ = nullptr;
    QPointer<TFrmDentro> dentro_;
};
