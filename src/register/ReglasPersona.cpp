#include "register/ReglasPersona.h"
#include "data/Field.h"
#include "data/Schema.h"
#include <QHash>

namespace kv {

ValidacionAlta ReglasAlta(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d,
                          const InternoTomado& internoTomado, const CodigoTomado& codigoTomado)
{
    ValidacionAlta r;
    if (d.iEstudiante.isEmpty()) r.mensajes += QStringLiteral("Coloque un código de estudiante válido \n");
    if (d.nombre.isEmpty()) r.mensajes += QStringLiteral("Coloque el nombre del estudiante \n");
    if (!d.iEstudiante.isEmpty() && internoTomado(d.iEstudiante))
        r.mensajes += QStringLiteral("Id. interno del estudiante ya está asignado.Pruebe aumentándolo en 1.");
    r.codigo = d.codigo.isEmpty() ? CodigoGenerado(gradoTexto, grupo, d.iEstudiante) : d.codigo;
    if (codigoTomado(r.codigo)) r.mensajes += QStringLiteral("Código del estudiante ya está asignado.");
    return r;
}

QString ReglasModificacion(const PersonaDatos& d, const QString& codigoAnterior, const CodigoTomado& codigoTomado)
{
    QString m;
    if (d.nombre.isEmpty()) m += QStringLiteral("Coloque el nombre del estudiante.\n");
    if (d.codigo.isEmpty())
        m += QStringLiteral("El código del estudiante no puede estar vacío y debe ser único.");
    else if (d.codigo != codigoAnterior && codigoTomado(d.codigo))
        m += QStringLiteral("Código del estudiante ya está asignado. Coloque otro.\n");
    return m;
}

namespace {

struct Limite {
    FieldType tipo = FieldType::Unknown;
    int ancho = 0;        // characters of a text field, 0 = no limit
    qint64 minimo = 0, maximo = 0;   // whole-number fields
};

// The limits of every field of estudiantes, read once from the schema.
const QHash<QString, Limite>& limites()
{
    static const QHash<QString, Limite> mapa = [] {
        QHash<QString, Limite> m;
        for (const TableDef& t : siteTables()) {
            if (t.name != QLatin1String("estudiantes")) continue;
            for (const QString& c : t.columns) {
                const QString tipo = c.section(QLatin1Char(' '), 1);
                Limite l;
                l.tipo = fieldTypeFromDeclared(tipo);
                l.ancho = declaredWidth(tipo);
                // The whole-number fields are 32-bit, the category 16.
                const bool corto = tipo.startsWith(QLatin1String("SMALLINT"), Qt::CaseInsensitive);
                l.minimo = corto ? -32768 : -2147483648LL;
                l.maximo = corto ? 32767 : 2147483647LL;
                m.insert(c.section(QLatin1Char(' '), 0, 0).toLower(), l);
            }
        }
        return m;
    }();
    return mapa;
}

} // namespace

QString ReglaDeCampo(const QString& campo, const QString& valor)
{
    if (valor.isEmpty()) return QString();
    const auto it = limites().constFind(campo.toLower());
    if (it == limites().constEnd()) return QString();
    const Limite& l = *it;
    if (l.ancho > 0 && valor.size() > l.ancho)
        return QStringLiteral("%1 tiene %2 caracteres y el campo admite %3.").arg(campo).arg(valor.size()).arg(l.ancho);
    if (l.tipo == FieldType::Integer) {
        // A document number typed in the wrong box is refused instead of stored cut.
        bool ok = false;
        const qint64 n = valor.trimmed().toLongLong(&ok);
        if (!ok || n < l.minimo || n > l.maximo)
            return QStringLiteral("'%1' no es un número entero válido para %2.").arg(valor, campo);
    } else if (l.tipo == FieldType::Date) {
        try {
            toStorage(valor, l.tipo, campo);
        } catch (const DbError&) {
            return QStringLiteral("'%1' no es una fecha válida para %2.").arg(valor, campo);
        }
    }
    return QString();
}

} // namespace kv
