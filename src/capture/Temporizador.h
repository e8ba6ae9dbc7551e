#pragma once
// The rules of the main window's five-second tick, without the window: what to show,
// whether to publish the movements, and whether it is the hour of the automatic exits.
#include <QDate>
#include <QDateTime>
#include <QString>

namespace kv {

// "Inactivo: " + minutes (decimal separator of the locale, no trailing zeros) + " min.".
QString TextoInactivo(double minutos);
inline QString TextoSubiendo() { return QStringLiteral("Subiendo a Internet"); }

struct Tick {
    double minutosInactivo = 0;
    QDateTime ahora;
    QDateTime horaSalidaAuto;   // only the time of day counts; invalid = no automatic exits
    bool pendienteSubir = false;
};

struct Decision {
    QString texto;                  // what the status label shows after the tick
    bool subir = false;             // publish now; afterwards pendienteSubir becomes false
    bool pendienteSubir = false;    // the flag after the tick when nothing is published
    bool sacarLosQueQuedaron = false;
};

class ReglasTemporizador {
public:
    // One upload per idle period: at the first tick with a minute of idleness after input
    // was seen. The automatic exits run at the first tick of the set minute, once a day.
    Decision tick(const Tick& t);

private:
    QDate ultimasSalidas_;
};

} // namespace kv
