#include "publish/Publicados.h"
#include "data/Query.h"
#include <QObject>
#include <QTimer>

namespace kv {

namespace {
struct Estado {
    QString dir;
    bool pendiente = false;
};
Estado& estado()
{
    static Estado e;
    return e;
}
} // namespace

void IniciarBorradoPublicados(const QString& tablesDir)
{
    estado().dir = tablesDir;
    estado().pendiente = true;
}

bool BorradoPublicadosPendiente() { return estado().pendiente; }

int BorrarLotePublicados(int lote)
{
    Estado& e = estado();
    if (!e.pendiente) return 0;
    Query q(e.dir);
    q.setSql(QStringLiteral("delete from entradasSalidas where rowid in"
                            " (select rowid from entradasSalidas where subido=true limit ?)"));
    const int borradas = q.execute({lote});
    if (borradas < lote) e.pendiente = false;
    return borradas;
}

void CompletarBorradoPublicados()
{
    while (BorradoPublicadosPendiente()) BorrarLotePublicados();
}

void BorrarPublicadosDeCodigo(const QString& tablesDir, const QString& codigo)
{
    if (!estado().pendiente || estado().dir != tablesDir) return;
    Query q;
    EjecutarSQL(tablesDir, q, QStringLiteral("delete from entradasSalidas where codigo=? and subido=true"), {codigo});
}

namespace {
// One batch per turn of the event loop, so scans and clicks are served in between. Lives
// as a child of the window and goes when the deletion is over or the window closes.
class Lotes : public QObject {
public:
    Lotes(QObject* context, std::function<void()> alFallar) : QObject(context), alFallar_(std::move(alFallar))
    {
        QTimer::singleShot(0, this, [this] { paso(); });
    }

private:
    void paso()
    {
        try {
            if (BorradoPublicadosPendiente()) BorrarLotePublicados();
        } catch (const std::exception&) {
            if (alFallar_) alFallar_();
            deleteLater();
            return;
        }
        if (BorradoPublicadosPendiente()) QTimer::singleShot(0, this, [this] { paso(); });
        else deleteLater();
    }
    std::function<void()> alFallar_;
};
} // namespace

void BorrarPublicadosEnSegundoPlano(QObject* context, std::function<void()> alFallar)
{
    new Lotes(context, std::move(alFallar));
}

} // namespace kv
