#include "ReportCommands.h"
#include "base/Clock.h"
#include "data/Database.h"
#include "data/TDM.h"
#include "reports/engine/ReportExport.h"
#include "reports/ReportKinds.h"
#include "reports/engine/TitleBlock.h"
#include <QDir>
#include <QFileInfo>

namespace admin {

const char kReportUsage[] =
    "  report DIR TIPO [PARÁMETROS] (--pdf | --txt | --csv | --html) ARCHIVO\n"
    "                                escribe un informe del sitio DIR (también: report TIPO DIR ...);\n"
    "                                fechas aaaa-mm-dd, horas hh:mm:ss\n";

namespace {

constexpr int kOk = 0, kFailed = 1, kBadUsage = 2;

QString kindList()
{
    QStringList l;
    for (const auto& k : kv::rpt::reportKinds()) l << k.kind;
    return l.join(QStringLiteral(", "));
}

int bad(QTextStream& err, const QString& msg)
{
    err << "kelvora-admin: " << msg << Qt::endl;
    err << "Use «kelvora-admin --help» para ver las órdenes." << Qt::endl;
    return kBadUsage;
}

} // namespace

QString reportUsage()
{
    QString s = QString::fromUtf8(kReportUsage);
    s += QStringLiteral("                                TIPO es uno de:\n");
    for (const auto& k : kv::rpt::reportKinds())
        s += QStringLiteral("                                  %1 %2\n").arg(k.kind, k.uso);
    return s;
}

int reportCommand(const QStringList& argsIn, QTextStream& out, QTextStream& err)
{
    using namespace kv::rpt;
    QStringList args = argsIn;
    if (args.size() < 2)
        return bad(err, QStringLiteral("report necesita el directorio del sitio y el tipo de informe (%1).").arg(kindList()));
    // Both orders are accepted: DIR TIPO and TIPO DIR.
    QString dir = args.takeFirst(), kindName = args.takeFirst();
    if (findReportKind(dir) && !findReportKind(kindName)) std::swap(dir, kindName);
    const ReportKind* kind = findReportKind(kindName);
    if (!kind) return bad(err, QStringLiteral("Tipo de informe desconocido: %1 (use %2).").arg(kindName, kindList()));

    ReportArgs params;
    QString file;
    ExportFormat format = ExportFormat::Pdf;
    const QHash<QString, ExportFormat> outputs = {{QStringLiteral("--pdf"), ExportFormat::Pdf},
                                                  {QStringLiteral("--txt"), ExportFormat::Text},
                                                  {QStringLiteral("--csv"), ExportFormat::Csv},
                                                  {QStringLiteral("--html"), ExportFormat::Html}};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString name = a.mid(2);
        if (outputs.contains(a)) {
            if (!file.isEmpty()) return bad(err, QStringLiteral("Indique un solo archivo de salida."));
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return bad(err, QStringLiteral("%1 necesita el nombre del archivo.").arg(a));
            format = outputs.value(a);
            file = args[++i];
        } else if (a.startsWith(QLatin1String("--")) && kind->flags.contains(name)) {
            params.set(name, QStringLiteral("1"));
        } else if (a.startsWith(QLatin1String("--")) && kind->options.contains(name)) {
            if (i + 1 >= args.size()) return bad(err, QStringLiteral("%1 necesita un valor.").arg(a));
            params.set(name, args[++i]);
        } else {
            return bad(err, QStringLiteral("Parámetro desconocido para el informe %1: %2 (acepta: %3)")
                                .arg(kind->kind, a, kind->uso));
        }
    }
    if (file.isEmpty())
        return bad(err, QStringLiteral("Falta el archivo de salida: --pdf, --txt, --csv o --html ARCHIVO."));
    // A range that ends before it starts holds no day: said, not printed empty.
    try {
        const QDate hoy = kv::Clock::instance().today();
        const QDate desde = params.date(QStringLiteral("desde"), hoy), hasta = params.date(QStringLiteral("hasta"), hoy);
        if (desde > hasta)
            return bad(err, QStringLiteral("La fecha inicial (%1) es posterior a la final (%2).")
                                .arg(desde.toString(Qt::ISODate), hasta.toString(Qt::ISODate)));
    } catch (const ReportError&) {
        // a date that does not read is the report's own message, below
    }
    if (format != ExportFormat::Pdf && !kind->exports)
        return bad(err, QStringLiteral("El informe %1 solo se escribe en PDF.").arg(kind->kind));
    if (kind->kind == QLatin1String("persona") && params.text(QStringLiteral("codigo")).isEmpty())
        return bad(err, QStringLiteral("El informe persona necesita --codigo CÓDIGO."));
    if (kind->kind == QLatin1String("planilla") && !params.has(QStringLiteral("grupo")))
        return bad(err, QStringLiteral("El informe planilla necesita --grado N y --grupo G."));

    if (!QFileInfo(dir).isDir()) {
        err << "kelvora-admin: " << QStringLiteral("No existe el directorio: %1").arg(dir) << Qt::endl;
        return kFailed;
    }
    if (!QFileInfo(QDir(dir).filePath(kv::Database::siteFileName())).isFile()) {
        err << "kelvora-admin: " << QStringLiteral("El directorio %1 no contiene las tablas de un sitio.").arg(dir)
            << Qt::endl;
        return kFailed;
    }
    const QString tables = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    kv::SetTablesDir(tables);

    PreparedReport prepared;
    try {
        prepared = kind->prepare(tables, params);
    } catch (const ReportError& e) {
        return bad(err, e.message());
    }
    if (!prepared.sinDatos.isEmpty()) {
        err << "kelvora-admin: " << prepared.sinDatos << Qt::endl;
        return kFailed;
    }
    if (prepared.errorConfig) {
        try {
            std::rethrow_exception(prepared.errorConfig);
        } catch (const std::exception& e) {
            err << "kelvora-admin: " << QString::fromUtf8(e.what()) << Qt::endl;
        }
    }
    if (!prepared.logoCargado) err << QString::fromUtf8(kLogoError) << Qt::endl;
    for (const QString& w : prepared.avisos) err << w << Qt::endl;
    err << "Preparando el informe (" << prepared.data.rows.size() << " filas)..." << Qt::endl;
    // Each page goes to the file as soon as it is made, and each row is let go of once
    // printed: a report of thousands of pages needs little more memory than its rows.
    Written w;
    try {
        w = exportReport(prepared.layout, std::move(prepared.data), format, file);
    } catch (const ReportError& e) {
        err << "kelvora-admin: " << e.message() << Qt::endl;
        return kFailed;
    }
    out << "Informe escrito en " << QFileInfo(file).absoluteFilePath() << " (" << w.pages
        << (w.pages == 1 ? " página, " : " páginas, ") << w.rows << " líneas)" << Qt::endl;
    return kOk;
}

} // namespace admin
