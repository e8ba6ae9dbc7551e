#include "publish/ColaSubida.h"
#include "data/Database.h"
#include "data/Query.h"
#include "publish/Publicacion.h"
#include <QTimer>

namespace kv {

ColaSubida::ColaSubida(const QString& tablesDir, QObject* parent)
    : QObject(parent), dir_(tablesDir), db_(Database::forDirectory(tablesDir))
{
    connect(db_.get(), &Database::tableChanged, this, &ColaSubida::alCambiarTabla);
    connect(&AvisosSubida::instance(), &AvisosSubida::subidaTerminada, this, &ColaSubida::registrarPasada);
    connect(db_.get(), &Database::resetAll, this, &ColaSubida::recontarLuego);
    // Other processes (kelvora-admin, an import) change the table without telling us.
    connect(&AvisosSubida::instance(), &AvisosSubida::escritorioInactivo, this, &ColaSubida::recontarLuego);
    recontar();
}

ColaSubida::~ColaSubida() = default;

void ColaSubida::recontar()
{
    recuentoPedido_ = false;
    const int n = MovimientosPendientes(dir_);
    if (n != pendientes_) {
        pendientes_ = n;
        emit cambio();
    }
}

void ColaSubida::recontarLuego()
{
    // A pass marks its rows one statement at a time: count once, after it.
    if (recuentoPedido_) return;
    recuentoPedido_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!recuentoPedido_) return;
        try {
            recontar();
        } catch (const std::exception&) {
            // The count stays as it was; the next change tries again.
            recuentoPedido_ = false;
        }
    });
}

void ColaSubida::alCambiarTabla(const QString& table, const QVector<RowChange>& changes)
{
    if (table != QLatin1String("entradassalidas")) return;
    QVariantList nuevas;
    for (const RowChange& c : changes) {
        if (c.op != RowChange::Insert) {
            recontarLuego();
            return;
        }
        nuevas << c.rowid;
    }
    // A bulk load is counted anew rather than row by row.
    if (nuevas.size() > 200) {
        recontarLuego();
        return;
    }
    // Only the new rows are read, by their row number: the cost does not grow with the
    // table. A row stored already marked as published does not count.
    QString marcas;
    for (int i = 0; i < nuevas.size(); ++i) marcas += i ? QStringLiteral(",?") : QStringLiteral("?");
    int n = 0;
    // This runs inside the store of a movement: an error here must not reach it.
    try {
        Query q;
        q.setDatabase(db_);
        q.setSql(QStringLiteral("select count(*) as n from entradasSalidas where rowid in (%1)"
                                " and (subido is null or subido<1 or subido>1)").arg(marcas));
        q.open(nuevas);
        q.first();
        n = int(q.fieldByName(QStringLiteral("n")).asInteger());
    } catch (const std::exception&) {
        recontarLuego();
        return;
    }
    if (n == 0) return;
    pendientes_ += n;
    emit cambio();
}

void ColaSubida::registrarPasada(const ResultadoSubida& r)
{
    conectada_ = r.conectado;
    enviadas_ = r.enviadas;
    rechazadas_ = r.rechazadas;
    motivo_ = r.motivo;
    cuandoPasada_ = r.cuando;
    // The pass counted what is left when it ended; the marks it wrote need no recount.
    pendientes_ = r.pendientes;
    recuentoPedido_ = false;
    emit cambio();
}

QString ColaSubida::textoPendientes() const
{
    return QStringLiteral("Pendientes por subir: %1").arg(pendientes_);
}

QString ColaSubida::textoUltimaSubida() const
{
    if (!cuandoPasada_.isValid()) return QString();
    const QString hora = cuandoPasada_.time().toString(QStringLiteral("HH:mm"));
    if (!conectada_)
        return QStringLiteral("%1 (%2)").arg(motivo_.isEmpty() ? QStringLiteral("Sin conexión con el servidor") : motivo_, hora);
    if (rechazadas_ > 0) return QStringLiteral("%1 (%2)").arg(TextoResultadoSubida(enviadas_, rechazadas_), hora);
    return QStringLiteral("Última subida: %1").arg(hora);
}

} // namespace kv
