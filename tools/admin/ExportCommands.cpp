#include "ExportCommands.h"
#include "data/Database.h"
#include "data/TableCursor.h"
#include "export/Exportar.h"
#include "Mensaje.h"
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace admin {

int exportCommand(const QStringList& args)
{
    QStringList pos;
    QString grado, grupo;
    bool hayGrado = false, hayGrupo = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--grado") || a == QLatin1String("--grupo")) {
            if (i + 1 >= args.size()) return mensaje(2, QStringLiteral("%1 necesita un valor.").arg(a));
            (a == QLatin1String("--grado") ? grado : grupo) = args[++i];
            (a == QLatin1String("--grado") ? hayGrado : hayGrupo) = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return mensaje(2, QStringLiteral("Opción desconocida: %1").arg(a));
        } else {
            pos << a;
        }
    }
    if (pos.size() != 2) return mensaje(2, QStringLiteral("export necesita dos argumentos: DIR ARCHIVO.xlsx"));
    if (hayGrado != hayGrupo) return mensaje(2, QStringLiteral("--grado y --grupo van juntos: indican un grupo."));
    bool ok = true;
    const int numGrado = hayGrado ? grado.toInt(&ok) : 0;
    if (!ok) return mensaje(2, QStringLiteral("El grado debe ser un número: %1").arg(grado));
    if (hayGrupo && grupo.trimmed().isEmpty()) return mensaje(2, QStringLiteral("El grupo no puede estar vacío."));

    const QString dir = pos[0];
    if (!QFileInfo(dir).isDir()) return mensaje(1, QStringLiteral("No existe el directorio: %1").arg(dir));
    if (!QFileInfo(QDir(dir).filePath(kv::Database::siteFileName())).isFile())
        return mensaje(1, QStringLiteral("El directorio %1 no contiene las tablas de un sitio.").arg(dir));
    const QString archivo = kv::ConExtensionXlsx(pos[1]);

    bool enLinea = false;   // a progress line waits for its end
    auto terminarLinea = [&] {
        if (enLinea) { QTextStream e(stderr); e << Qt::endl; }
        enLinea = false;
    };
    try {
        if (hayGrado) {
            // A group is known by its row in grupos or by persons in it; a typo in its name
            // would otherwise give an empty workbook that looks like a success.
            const kv::ResultSet r = kv::Database::forDirectory(dir)->select(
                QStringLiteral("select (select count(*) from grupos where IGrado=? and IGrupo=?)"
                               " + (select count(*) from estudiantes where IGrado=? and IGrupo=?)"),
                {numGrado, grupo, numGrado, grupo});
            if (r.rows.value(0).value(0).toInt() == 0)
                return mensaje(2, QStringLiteral("No existe el grupo %1 %2 en el sitio %3.").arg(numGrado).arg(grupo, dir));
        }
        kv::TableCursor personas(QStringLiteral("Estudiantes"));
        personas.setDirectory(dir);
        personas.setIndexFieldNames(QStringLiteral("IGrado;IGrupo;IEstudiante"));
        if (hayGrado) {
            // the same filter as the main window's persons list
            personas.setFilter(QStringLiteral("IGrado=? and IGrupo=?"), {numGrado, grupo});
            personas.setFiltered(true);
        }
        personas.open();
        const int total = personas.recordCount();
        QTextStream err(stderr);
        const int cada = qMax(1, total / 20);
        const int filas = kv::ExportarTabla(personas, archivo, [&](int n) {
            if (n % cada == 0 || n == total) err << "\rExportando: " << n << " de " << total << Qt::flush;
            enLinea = true;
        });
        terminarLinea();
        QTextStream(stdout) << "Exportadas " << filas << " personas a " << QFileInfo(archivo).absoluteFilePath() << Qt::endl;
        return 0;
    } catch (const kv::ExportError& e) {
        terminarLinea();
        return mensaje(1, e.message());
    } catch (const kv::DbError& e) {
        terminarLinea();
        return mensaje(1, e.message());
    }
}

} // namespace admin
