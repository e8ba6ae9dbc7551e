#pragma once
// The rules of the login: which password each user level needs, the limit of failed
// attempts, and the checks of a change of the capture-only password.
#include <QString>

namespace kv {

// Positions of the "Tipo de usuario" choice; the user level is the position in decimal.
enum class TipoUsuario { Captura = 0, Administrador = 1 };

class Login {
public:
    static constexpr int MaxIntentos = 3;
    enum class Resultado { Aceptado, Incorrecto, Terminar };

    Login(QString clave, QString claveConsultor)
        : clave_(std::move(clave)), claveConsultor_(std::move(claveConsultor)) {}

    // Sets the user level to the chosen entry, then compares the typed password with the
    // level's own one (exact text, case counts). The third wrong one in a row ends the
    // program (Terminar).
    Resultado ingresar(TipoUsuario tipo, const QString& tecleada);
    int intentosFallidos() const { return fallos_; }
    void reiniciarIntentos() { fallos_ = 0; }
    void setClaveConsultor(const QString& c) { claveConsultor_ = c; }

private:
    QString clave_;
    QString claveConsultor_;
    int fallos_ = 0;
};

// The checks of "&Guardar", in order; a later failing check replaces an earlier message,
// so only the last one is returned. Empty when the change may be stored.
QString ValidarCambioClave(const QString& claveConsultor, const QString& anterior, const QString& nueva,
                           const QString& verifica);

} // namespace kv
