#pragma once
// What the operator sees and hears at a glance after each code: "ENTRADA" on green or
// "SALIDA" on blue beside the name for three seconds, a tone per event, and the repeated
// read told in the name line without a modal box (a queue is waiting).
#include <QObject>

class QLabel;
class QTimer;
namespace kv { class AjustesPuerta; struct UltimoMovimiento; }

class AvisoPuerta : public QObject {
    Q_OBJECT
public:
    // Puts the banner beside `nombre` (the name line of the capture) in its layout.
    AvisoPuerta(QLabel* nombre, QObject* parent);

    // The holder of a window finds it by this name.
    static AvisoPuerta* de(QObject* ventana);

    // True when a read of a code whose last movement is `ultimo` repeats it: then the
    // name line says so, its tone sounds, and nothing is to be stored.
    bool LecturaRepetida(const kv::UltimoMovimiento& ultimo);
    // A movement was stored: the banner of its direction and its tone.
    void MovimientoGuardado(const QString& modo);
    // A code was refused: its tone (the message is the capture's own).
    void CodigoRechazado();
    // No banner: a movement that was not stored, or a read that stored nothing.
    void Ocultar();

    QLabel* lblDireccion = nullptr;
    QTimer* TmrDireccion = nullptr;

private:
    QLabel* nombre_;
    kv::AjustesPuerta* ajustes_;
};
