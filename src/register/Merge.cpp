#include "register/Merge.h"
#include "data/Query.h"
#include "data/TDM.h"
#include "register/Register.h"

namespace kv {

QString ValidarFusion(const QString& origen, const QString& destino)
{
    if (origen == destino) return QStringLiteral("Para fusionarse los dos grupos deben ser distintos.");
    if (destino.isEmpty())
        return QStringLiteral("Debe Corregir: \n") + QStringLiteral("Coloque un código de grupo válido \n");
    return QString();
}

int FusionarGrupos(int grado, const QString& origen, const QString& destino,
                   const std::function<void(const QString&)>& aviso)
{
    auto say = [&](const QString& t) { if (aviso) aviso(t); };
    auto db = Database::forDirectory(TablesDir());
    Transaction tx(*db);
    int siguiente = NextInternalNumber(grado, destino);
    Query personas, cambios;
    EjecutarSQL(TablesDir(), personas,
                QStringLiteral("select rowid as fila, iestudiante from estudiantes where igrado=? and igrupo=? "
                               "order by iestudiante"),
                {grado, origen});
    say(QStringLiteral("Actualizando el código y el grupo de los estudiantes..."));
    int movidos = 0;
    for (personas.first(); !personas.eof(); personas.next()) {
        ++siguiente;
        const Field numero = personas.fieldByName(QStringLiteral("IEstudiante"));
        EjecutarSQL(TablesDir(), cambios, QStringLiteral("update estudiantes set iestudiante=? ,igrupo=? where rowid=?"),
                    {siguiente, destino, personas.fieldByName(QStringLiteral("fila")).asInteger()});
        // A person's marks follow the person: same new number and group in both tables.
        if (!numero.isNull()) {
            const qint64 viejo = numero.asInteger();
            for (const char* tabla : {"notas", "notasdef"}) {
                EjecutarSQL(TablesDir(), cambios,
                            QStringLiteral("update %1 set iestudiante=? ,igrupo=? where iestudiante=? and igrado=? "
                                           "and igrupo=?").arg(QLatin1String(tabla)),
                            {siguiente, destino, viejo, grado, origen});
            }
        }
        ++movidos;
    }
    say(QStringLiteral("Actualizando el grupo..."));
    EjecutarSQL(TablesDir(), personas, QStringLiteral("delete from grupos where igrado=? and igrupo=?"),
                {grado, origen});
    tx.commit();
    return movidos;
}

} // namespace kv
