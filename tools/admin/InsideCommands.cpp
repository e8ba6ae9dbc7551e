#include "InsideCommands.h"
#include "Terminal.h"
#include "capture/Dentro.h"
#include "base/MyException.h"
#include <QSaveFile>

namespace admin {

QString parseInside(const QStringList& args, InsideOptions& o)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--csv")) {
            if (i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return QStringLiteral("--csv necesita el nombre del archivo.");
            o.csvFile = args[++i];
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return QStringLiteral("Opción desconocida: %1").arg(args[i]);
        } else if (o.dir.isEmpty()) {
            o.dir = args[i];
        } else {
            return QStringLiteral("inside recibe un solo directorio; sobra: %1").arg(args[i]);
        }
    }
    if (o.dir.isEmpty()) return QStringLiteral("inside necesita el directorio del sitio: inside DIR [--csv FILE]");
    return QString();
}

void runInside(const InsideOptions& o, QTextStream& out, QTextStream& err)
{
    err << "Leyendo los movimientos..." << Qt::endl;
    const kv::ListaDentro l = kv::PersonasDentro(o.dir);
    out << kv::TextoTotalDentro(l.personas, l.visitantes) << "\n";
    for (const kv::TotalDentro& t : l.totales) {
        if (t.esCategoria) out << "  Categoría " << t.igrado << ": " << t.cantidad << "\n";
        else out << "    Grupo " << t.igrupo << ": " << t.cantidad << "\n";
    }
    if (!o.csvFile.isEmpty()) {
        // Written whole or not at all: a half list is worse than none at a roll call.
        QSaveFile f(o.csvFile);
        const QByteArray bom("\xEF\xBB\xBF");   // so spreadsheets read the accents as UTF-8
        if (!f.open(QIODevice::WriteOnly) || f.write(bom) != bom.size()
            || f.write(kv::DentroCSV(l).toUtf8()) < 0 || !f.commit())
            throw MyException(QStringLiteral("Error abriendo el archivo: ") + o.csvFile);
        out << "Lista escrita en " << o.csvFile << Qt::endl;
        return;
    }
    // Tab-separated, one person per line, as the sql command prints rows.
    const QString lista = kv::DentroCSV(l, QLatin1Char('\t'));
    out << (salidaEsTerminal() ? escaparControles(lista, QStringLiteral("\t\n")) : lista);
    out.flush();
}

} // namespace admin
