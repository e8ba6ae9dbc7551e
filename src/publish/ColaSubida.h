#pragma once
// The publication queue as the door desk shows it: how many movements wait to be
// published, and how the last publication pass went. The count is read once and then
// follows the site's own change notices (a stored movement adds one), so a capture costs
// no extra statement; it is read again only after rows were changed or removed.
#include <QDateTime>
#include <QObject>
#include <memory>

namespace kv {

class Database;
struct ResultadoSubida;
struct RowChange;

class ColaSubida : public QObject {
    Q_OBJECT
public:
    // Raises DbError when the directory holds no site.
    explicit ColaSubida(const QString& tablesDir, QObject* parent = nullptr);
    ~ColaSubida() override;

    int pendientes() const { return pendientes_; }

    // A publication pass ended (every pass of SubirMovimientos is told here by itself).
    void registrarPasada(const ResultadoSubida& r);
    bool hayPasada() const { return cuandoPasada_.isValid(); }
    bool ultimaPasadaConectada() const { return conectada_; }
    QDateTime cuandoUltimaPasada() const { return cuandoPasada_; }

    // "Pendientes por subir: N"
    QString textoPendientes() const;
    // "Última subida: hh:mm" when the server took everything; "Se subieron N; el servidor
    // rechazó M, vea LogError.txt (hh:mm)"; why the server was not reached, or "Sin conexión
    // con el servidor (hh:mm)"; "" before any pass.
    QString textoUltimaSubida() const;

    // Counts the unpublished movements again now.
    void recontar();

signals:
    void cambio();

private:
    void alCambiarTabla(const QString& table, const QVector<RowChange>& changes);
    void recontarLuego();

    QString dir_;
    std::shared_ptr<Database> db_;
    int pendientes_ = 0;
    bool recuentoPedido_ = false;
    bool conectada_ = false;
    int enviadas_ = 0;
    int rechazadas_ = 0;
    QString motivo_;
    QDateTime cuandoPasada_;
};

} // namespace kv
