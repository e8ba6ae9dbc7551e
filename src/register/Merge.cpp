#include "register/Merge.h"
#include "base/DebeCorregir.h"
#include "data/Query.h"
#include "register/Register.h"
#include <stdexcept>

namespace kv {

QString ValidarFusion(const QString& dir, int grado, const QString& origen, const QString& destino)
{
    if (origen == destino) return QStringLiteral("Para fusionarse los dos grupos deben ser distintos.");
    Query q;
    if (!destino.isEmpty())
        EjecutarSQL(dir, q, QStringLiteral("select igrupo from grupos where igrado=? and igrupo=?"),
                    {grado, destino});
    if (destino.isEmpty() || q.isEmpty())
        return DebeCorregir(QStringLiteral("Coloque un código de grupo válido \n"));
    return QString();
}

int FusionarGrupos(const QString& dir, int grado, const QString& origen, const QString& destino,
                   const std::function<void(const QString&)>& aviso)
{
    auto say = [&](const QString& t) { if (aviso) aviso(t); };
    const QString refused = ValidarFusion(dir, grado, origen, destino);
    if (!refused.isEmpty()) throw std::invalid_argument(refused.toStdString());
    auto db = Database::forDirectory(dir);
    Transaction tx(*db);
    int siguiente = NextInternalNumber(dir, grado, destino);
    Query personas, cambios;
    EjecutarSQL(dir, personas,
                QStringLiteral("select e.rowid as fila, e.iestudiante, e.codigo,"
                               " (select count(*) from estudiantes o where o.igrado=e.igrado and o.igrupo=e.igrupo"
                               "  and o.iestudiante=e.iestudiante) as comparten"
                               " from estudiantes e where e.igrado=? and e.igrupo=? order by e.iestudiante"),
                {grado, origen});
    say(QStringLiteral("Actualizando el código y el grupo de los estudiantes..."));
    int movidos = 0;
    for (personas.first(); !personas.eof(); personas.next()) {
        ++siguiente;
        const Field numero = personas.fieldByName(QStringLiteral("IEstudiante"));
        EjecutarSQL(dir, cambios, QStringLiteral("update estudiantes set iestudiante=? ,igrupo=? where rowid=?"),
                    {siguiente, destino, personas.fieldByName(QStringLiteral("fila")).asInteger()});
        // A person's marks follow the person: same new number and group in both tables.
        if (!numero.isNull()) {
            const qint64 viejo = numero.asInteger();
            EjecutarSQL(dir, cambios,
                        QStringLiteral("update notas set iestudiante=? ,igrupo=? where iestudiante=? and igrado=? "
                                       "and igrupo=? and codigo=?"),
                        {siguiente, destino, viejo, grado, origen, personas.fieldByName(QStringLiteral("codigo")).asString()});
            if (personas.fieldByName(QStringLiteral("comparten")).asInteger() == 1)
                EjecutarSQL(dir, cambios,
                            QStringLiteral("update notasdef set iestudiante=? ,igrupo=? where iestudiante=? and igrado=? "
                                           "and igrupo=?"),
                            {siguiente, destino, viejo, grado, origen});
        }
        ++movidos;
    }
    say(QStringLiteral("Actualizando el grupo..."));
    EjecutarSQL(dir, personas, QStringLiteral("delete from grupos where igrado=? and igrupo=?"),
                {grado, origen});
    tx.commit();
    return movidos;
}

} // namespace kv
