#include "register/Persons.h"
#include "register/ReglasPersona.h"
#include "data/Query.h"
#include "data/TDM.h"

namespace kv {

namespace {

TableCursor& personas()
{
    if (!DM || !DM->TblEstudiantes) throw DbError(QStringLiteral("La tabla de estudiantes no está abierta."));
    return *DM->TblEstudiantes;
}

// Whole-number boxes: an empty box stores 0; anything else is converted by the field.
QString enteroOCero(const QString& s) { return s.isEmpty() ? QStringLiteral("0") : s; }

// The internal number is a 32-bit field: a longer number (a document number typed in
// the wrong box) is refused like any text the field cannot hold, instead of being
// stored and then spoiling the number offered for the next person of the group.
int numeroInterno(const QString& s)
{
    bool ok = false;
    const int n = s.trimmed().toInt(&ok);
    if (!ok) throw DbError(QStringLiteral("'%1' no es un valor entero válido para el campo IEstudiante.").arg(s));
    return n;
}

// A person without a birth date keeps the field empty.
QVariant fecha(const QDate& d) { return d.isValid() ? QVariant(d) : QVariant(); }

// A row left in edit or insert state by a failed step is thrown away, so nothing
// half-filled is ever stored by a later post.
void descartarEdicion(TableCursor& t)
{
    if (t.state() == DataSetState::Edit || t.state() == DataSetState::Insert) t.cancel();
}

} // namespace

QChar LetraControl(int grado)
{
    const int c = ((grado + 65) % 256 + 256) % 256;
    return QChar(char16_t(c));
}

QString CodigoGenerado(const QString& gradoTexto, const QString& grupo, const QString& iEstudiante)
{
    return gradoTexto + grupo + iEstudiante + LetraControl(gradoTexto.toInt());
}

bool CodigoAsignado(const QString& codigo)
{
    Query q;
    EjecutarSQL(TablesDir(), q, QStringLiteral("select * from estudiantes where codigo=?"), {codigo});
    return !q.isEmpty();
}

ValidacionAlta ValidarNuevaPersona(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d)
{
    return ReglasAlta(
        gradoTexto, grupo, d,
        [&](const QString& iEstudiante) {
            Query q;
            EjecutarSQL(TablesDir(), q,
                        QStringLiteral("select iestudiante from estudiantes where igrado=? and igrupo=? and iestudiante=?"),
                        {gradoTexto, grupo, iEstudiante});
            return !q.isEmpty();
        },
        CodigoAsignado);
}

// The boxes both person dialogs share, in the order they are stored.
static void escribirDatos(TableCursor& t, const PersonaDatos& d, const QString& codigo)
{
    t.setFieldValue(QStringLiteral("NumMatr"), enteroOCero(d.numMatr));
    t.setFieldValue(QStringLiteral("docIdent"), d.docIdent);
    t.setFieldValue(QStringLiteral("numCarnet"), enteroOCero(d.numCarnet));
    t.setFieldValue(QStringLiteral("rh"), d.rh);
    t.setFieldValue(QStringLiteral("sitSocial"), d.sitSocial);
    t.setFieldValue(QStringLiteral("idFoto"), d.idFoto);
    t.setFieldValue(QStringLiteral("fechaNac"), fecha(d.fechaNac));
    t.setFieldValue(QStringLiteral("codigo"), codigo);
}

void GrabarNuevaPersona(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d,
                        const QString& codigo)
{
    TableCursor& t = personas();
    try {
        t.append();
        t.setFieldValue(QStringLiteral("IGrado"), gradoTexto);
        t.setFieldValue(QStringLiteral("IGrupo"), grupo);
        t.setFieldValue(QStringLiteral("IEstudiante"), numeroInterno(d.iEstudiante));
        t.setFieldValue(QStringLiteral("NEstudiante"), d.nombre);
        escribirDatos(t, d, codigo);
        t.post();
    } catch (...) {
        descartarEdicion(t);
        throw;
    }
}

QString ValidarModificacion(const PersonaDatos& d, const QString& codigoAnterior)
{
    return ReglasModificacion(d, codigoAnterior, CodigoAsignado);
}

void GrabarModificacion(const PersonaDatos& d)
{
    TableCursor& t = personas();
    try {
        t.edit();
        t.setFieldValue(QStringLiteral("NEstudiante"), d.nombre);
        t.setFieldValue(QStringLiteral("Situacion"), d.situacion);
        escribirDatos(t, d, d.codigo);
        t.post();
    } catch (...) {
        descartarEdicion(t);
        throw;
    }
}

void ModificarPersona(const PersonaDatos& d, const QString& codigoAnterior, int grado)
{
    GrabarModificacion(d);
    if (d.codigo != codigoAnterior) ActualizarCodigoEnNotas(d.codigo, codigoAnterior, grado);
}

void LeerCategoriasDestino(Query& q)
{
    EjecutarSQL(TablesDir(), q, QStringLiteral("select * from abagrados order by IGrado"));
}

void LeerGruposDestino(Query& q, int grado)
{
    EjecutarSQL(TablesDir(), q, QStringLiteral("select * from grupos where igrado=? order by IGrupo"), {grado});
}

void ActualizarCodigoEnNotas(const QString& codigoNuevo, const QString& codigoAnterior, int grado)
{
    Query q;
    EjecutarSQL(TablesDir(), q, QStringLiteral("update notas set codigo=? where codigo=? and igrado=?"),
                {codigoNuevo, codigoAnterior, grado});
}

void CambiarDeGrupo(const QString& codigo, int gradoOrigen, const QString& grupoOrigen,
                    int gradoDestino, const QString& grupoDestino)
{
    Query q;
    EjecutarSQL(TablesDir(), q,
                QStringLiteral("update estudiantes set igrupo=?, igrado=? where codigo=? and igrado=? and igrupo=?"),
                {grupoDestino, gradoDestino, codigo, gradoOrigen, grupoOrigen});
}

QString TextoConfirmarCambio(int gradoOrigen, const QString& grupoOrigen, int gradoDestino,
                             const QString& grupoDestino)
{
    return QStringLiteral("Confirma cambiar del grado: ") + QString::number(gradoOrigen) + QStringLiteral(", grupo: ")
           + grupoOrigen + QStringLiteral(" al grado: ") + QString::number(gradoDestino) + QStringLiteral(", grupo: ")
           + grupoDestino + QStringLiteral("?");
}

ResultSet BuscarPersonas(const QString& texto)
{
    // The typed text is searched literally: LIKE's own wildcards in it are escaped.
    QString patron = texto.toUpper();
    patron.replace(QLatin1Char('!'), QStringLiteral("!!"))
        .replace(QLatin1Char('%'), QStringLiteral("!%"))
        .replace(QLatin1Char('_'), QStringLiteral("!_"));
    Query q;
    EjecutarSQL(TablesDir(), q,
                QStringLiteral("select * from Estudiantes where upper(coalesce(NEstudiante, '')) like ? escape '!'"),
                {QStringLiteral("%") + patron + QStringLiteral("%")});
    return q.result();
}

QString AlternarSuspension()
{
    TableCursor& t = personas();
    try {
        t.edit();
        const QString nuevo = t.fieldByName(QStringLiteral("situacion")).asString() == QStringLiteral("SUSPENDIDO")
                                  ? QStringLiteral("")
                                  : QStringLiteral("SUSPENDIDO");
        t.setFieldValue(QStringLiteral("situacion"), nuevo);
        t.post();
        return nuevo;
    } catch (...) {
        descartarEdicion(t);
        throw;
    }
}

bool HayPersonaActual()
{
    if (!DM || !DM->TblEstudiantes) return false;
    TableCursor& t = *DM->TblEstudiantes;
    // A row being inserted is not a person yet.
    return t.isActive() && t.state() != DataSetState::Insert && !t.isEmpty() && t.currentRow() >= 0;
}

QString TextoConfirmarBorrado(const QString& grupo, int grado)
{
    TableCursor& t = personas();
    return t.fieldByName(QStringLiteral("NEstudiante")).asString() + QStringLiteral("\nid interno: ")
           + t.fieldByName(QStringLiteral("IEstudiante")).asString() + QStringLiteral("\nGrupo: ") + grupo
           + QStringLiteral("\nGrado: ") + QString::number(grado);
}

} // namespace kv
