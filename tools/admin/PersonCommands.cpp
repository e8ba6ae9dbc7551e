#include "PersonCommands.h"
#include "data/Query.h"
#include "register/Merge.h"
#include "register/Persons.h"
#include <stdexcept>

namespace admin {

int suspend(const QStringList& args, QTextStream& out, QString& error)
{
    if (args.size() != 2 || args[1].isEmpty()) {
        error = QStringLiteral("suspend necesita dos argumentos: DIR CODIGO");
        return 2;
    }
    kv::Query q;
    kv::EjecutarSQL(args[0], q, QStringLiteral("select rowid as fila from estudiantes where codigo=? order by rowid"),
                    {args[1]});
    if (q.isEmpty()) throw kv::DbError(QStringLiteral("No hay ninguna persona con el código %1.").arg(args[1]));
    const QString estado = kv::AlternarSuspension(args[0], q.fieldByName(QStringLiteral("fila")).asInteger());
    out << args[1] << ": " << (estado.isEmpty() ? QStringLiteral("habilitado") : estado) << Qt::endl;
    return 0;
}

int mergeGroups(const QStringList& args, QTextStream& out, QString& error)
{
    bool ok = false;
    const int grado = args.value(1).toInt(&ok);
    if (args.size() != 4 || !ok) {
        error = QStringLiteral("merge-groups necesita cuatro argumentos: DIR GRADO ORIGEN DESTINO");
        return 2;
    }
    const QString refused = kv::ValidarFusion(args[0], grado, args[2], args[3]);
    if (!refused.isEmpty()) throw kv::DbError(refused.trimmed());
    const int n = kv::FusionarGrupos(args[0], grado, args[2], args[3]);
    out << n << (n == 1 ? " persona movida" : " personas movidas") << Qt::endl;
    return 0;
}

} // namespace admin
