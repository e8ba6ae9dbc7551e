#include "capture/Temporizador.h"
#include <QLocale>

namespace kv {

QString TextoInactivo(double minutos)
{
    QString n = QString::number(minutos, 'f', 2);
    while (n.contains(QLatin1Char('.')) && (n.endsWith(QLatin1Char('0')) || n.endsWith(QLatin1Char('.'))))
        n.chop(1);
    n.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QStringLiteral("Inactivo: ") + n + QStringLiteral(" min.");
}

Decision ReglasTemporizador::tick(const Tick& t)
{
    Decision d;
    d.texto = TextoInactivo(t.minutosInactivo);
    if (t.minutosInactivo >= 1.0) {
        d.subir = t.pendienteSubir;
        d.pendienteSubir = t.pendienteSubir;
    } else {
        d.pendienteSubir = true;
    }
    if (t.horaSalidaAuto.isValid() && t.ahora.isValid()) {
        const QString fmt = QStringLiteral("HH:mm");
        // The date guard keeps a clock set back, or a restart in that minute, from letting
        // everybody out twice in one day.
        if (t.ahora.time().toString(fmt) == t.horaSalidaAuto.time().toString(fmt)
            && ultimasSalidas_ != t.ahora.date()) {
            d.sacarLosQueQuedaron = true;
            ultimasSalidas_ = t.ahora.date();
        }
    }
    return d;
}

} // namespace kv
