#include "settings/Login.h"
#include "settings/UserLevel.h"

namespace kv {

Login::Resultado Login::ingresar(TipoUsuario tipo, const QString& tecleada)
{
    const QString& esperada = tipo == TipoUsuario::Administrador ? clave_ : claveConsultor_;
    SetUserLevel(QString::number(int(tipo)));
    if (tecleada == esperada) {
        fallos_ = 0;
        return Resultado::Aceptado;
    }
    ++fallos_;
    return fallos_ >= MaxIntentos ? Resultado::Terminar : Resultado::Incorrecto;
}

QString ValidarCambioClave(const QString& claveConsultor, const QString& anterior, const QString& nueva,
                           const QString& verifica)
{
    QString msg;
    if (anterior != claveConsultor) msg = QStringLiteral("La clave del usuario de consulta está errada.");
    if (nueva.isEmpty() || verifica.isEmpty()) msg = QStringLiteral("No puede dejar la nueva contraseña vacía");
    if (nueva != verifica) msg = QStringLiteral("Nuevas contraseñas no coinciden.");
    return msg;
}

} // namespace kv
