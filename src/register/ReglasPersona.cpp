#include "register/ReglasPersona.h"
#include "data/Field.h"
#include "data/Schema.h"

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

QString ReglaDeCampo(const QString& campo, const QString& valor)
{
    if (valor.isEmpty()) return QString();
    if (const int ancho = fieldWidth(QStringLiteral("estudiantes"), campo); ancho > 0 && valor.size() > ancho)
        return QStringLiteral("%1 tiene %2 caracteres y el campo admite %3.").arg(campo).arg(valor.size()).arg(ancho);
    for (const TableDef& t : siteTables()) {
        if (t.name != QLatin1String("estudiantes")) continue;
        for (const QString& c : t.columns) {
            if (c.section(QLatin1Char(' '), 0, 0).compare(campo, Qt::CaseInsensitive) != 0) continue;
            const FieldType tipo = fieldTypeFromDeclared(c.section(QLatin1Char(' '), 1));
            if (tipo == FieldType::Integer) {
                bool ok = false;
                const qint64 n = valor.trimmed().toLongLong(&ok);
                // The fields are 32-bit (16 for the category): a document number typed in
                // the wrong box is refused instead of stored cut.
                const bool corto = c.contains(QLatin1String("SMALLINT"));
                if (!ok || n > (corto ? 32767 : 2147483647LL) || n < (corto ? -32768 : -2147483648LL))
                    return QStringLiteral("'%1' no es un número entero válido para %2.").arg(valor, campo);
            } else if (tipo == FieldType::Date) {
                try {
                    toStorage(valor, tipo, campo);
                } catch (const DbError&) {
                    return QStringLiteral("'%1' no es una fecha válida para %2.").arg(valor, campo);
                }
            }
        }
    }
    return QString();
}

} // namespace kv
