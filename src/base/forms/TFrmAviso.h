#pragma once
// The wait notice shown during long work: one at a time, always on top.
#include <QString>

class QWidget;

class TFrmAviso {
public:
    static void Mostrar(const QString& mensaje = QStringLiteral("Por favor espere..."), bool centrado = true,
                        bool conProgreso = false, int minimo = 0, int maximo = 100, int paso = 1);
    static void PonerMensaje(const QString& mensaje);
    static void Paso();
    static void Cerrar();
    static QWidget* actual();   // the notice on screen, or nullptr
};
