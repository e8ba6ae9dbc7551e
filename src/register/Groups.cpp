#include "register/Groups.h"
#include "data/Query.h"
#include "data/TableCursor.h"

namespace kv {

QString ValidarGrupoNuevo(const QString& dir, int grado, const QString& grupo)
{
    QString msgs;
    if (grupo.isEmpty()) {
        msgs += QStringLiteral("Coloque un código de grupo válido \n");
    } else {
        Query q;
        EjecutarSQL(dir, q, QStringLiteral("select count(*) as n from grupos where igrado=? and igrupo=?"),
                    {grado, grupo});
        if (q.fieldByName(QStringLiteral("n")).asInteger() > 0)
            msgs += QStringLiteral("Código del grupo ya está asignado.");
    }
    return msgs;
}

void AdicionarGrupo(TableCursor& grupos, int grado, const QString& grupo, const QString& director,
                    const QString& mensaje)
{
    Query q;
    const QString dir = grupos.directory();
    auto db = Database::forDirectory(dir);
    Transaction tx(*db);
    grupos.append();
    try {
        grupos.setFieldValue(QStringLiteral("IGrado"), grado);
        grupos.setFieldValue(QStringLiteral("IGrupo"), grupo);
        grupos.setFieldValue(QStringLiteral("IProfesor"), director);
        grupos.setFieldValue(QStringLiteral("Mensaje"), mensaje);
        grupos.post();
    } catch (...) {
        if (grupos.state() == DataSetState::Insert) grupos.cancel();
        throw;
    }
    // One link per subject of the category; then every link of the category without a
    // group (these new ones and any left over by an earlier run) goes to the new group.
    EjecutarSQL(dir, q,
                QStringLiteral("insert into movmat (IGrado,imateria) select Igrado, imateria from abamaterias "
                               "where igrado=?"),
                {grado});
    EjecutarSQL(dir, q, QStringLiteral("update movmat set igrupo=? where igrado=? and igrupo is null"),
                {grupo, grado});
    tx.commit();
}

void ModificarGrupo(TableCursor& grupos, int grado, const QString& grupo, const QString& director,
                    const QString& mensaje)
{
    const bool enFila = !grupos.isEmpty() && grupos.fieldByName(QStringLiteral("IGrado")).asInteger() == grado
                        && grupos.fieldByName(QStringLiteral("IGrupo")).asString() == grupo;
    if (!enFila && !grupos.locate(QStringLiteral("IGrado;IGrupo"), {grado, grupo}))
        throw DbError(QStringLiteral("El grupo %1 del grado %2 no existe.").arg(grupo).arg(grado));
    grupos.edit();
    try {
        grupos.setFieldValue(QStringLiteral("IProfesor"), director);
        grupos.setFieldValue(QStringLiteral("Mensaje"), mensaje);
        grupos.post();
    } catch (...) {
        if (grupos.state() == DataSetState::Edit) grupos.cancel();
        throw;
    }
}

void BorrarGrupo(const QString& dir, int grado, const QString& grupo)
{
    Query q;
    auto db = Database::forDirectory(dir);
    Transaction tx(*db);
    // Subject links, then persons, then the group row; movements are kept.
    EjecutarSQL(dir, q, QStringLiteral("delete from movmat where igrado=? and igrupo=?"), {grado, grupo});
    EjecutarSQL(dir, q, QStringLiteral("delete from estudiantes where igrado=? and igrupo=?"), {grado, grupo});
    EjecutarSQL(dir, q, QStringLiteral("delete from grupos where igrado=? and igrupo=?"), {grado, grupo});
    tx.commit();
}

} // namespace kv
