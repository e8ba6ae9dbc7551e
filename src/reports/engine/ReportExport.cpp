#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "base/Csv.h"
#include <QFileInfo>
#include <QSaveFile>

namespace kv::rpt {

namespace {

QString csvLine(const QStringList& cells)
{
    return CsvLinea(cells) + QLatin1String("\r\n");
}

// A multi-line cell on one line of the plain text.
QString flat(QString s) { return s.replace(QLatin1Char('\n'), QLatin1String(" / ")); }

} // namespace

QString toCsv(const PageModel& m)
{
    QString s = csvLine(m.headings);
    for (const QStringList& r : m.rows) s += csvLine(r);
    return s;
}

QString toText(const PageModel& m)
{
    QString s;
    for (const QString& t : m.titleLines) s += t + QLatin1String("\r\n");
    s += QLatin1String("\r\n");
    int cols = m.headings.size();
    for (const QStringList& r : m.rows) cols = std::max(cols, int(r.size()));
    QVector<int> width(cols, 0);
    auto measure = [&](const QStringList& cells) {
        for (int i = 0; i < cells.size(); ++i) width[i] = std::max(width[i], int(flat(cells[i]).size()));
    };
    measure(m.headings);
    for (const QStringList& r : m.rows) measure(r);
    auto line = [&](const QStringList& cells) {
        QString l;
        for (int i = 0; i < cells.size(); ++i) {
            const QString c = flat(cells[i]);
            l += i + 1 < cells.size() ? c.leftJustified(width[i] + 2) : c;
        }
        while (l.endsWith(QLatin1Char(' '))) l.chop(1);
        return l;
    };
    s += line(m.headings) + QLatin1String("\r\n");
    for (const QStringList& r : m.rows) s += line(r) + QLatin1String("\r\n");
    return s;
}

QString toHtml(const PageModel& m)
{
    auto esc = [](const QString& t) { return t.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")); };
    QString s = QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
                               "<style>body{font-family:Arial,'Liberation Sans',sans-serif;font-size:10pt}"
                               "table{border-collapse:collapse}th,td{border:1px solid #999;padding:2px 6px;"
                               "text-align:left;vertical-align:top}</style>\n</head>\n<body>\n")
                    .arg(esc(m.titleLines.value(m.titleLines.size() - 1)));
    for (int i = 0; i < m.titleLines.size(); ++i)
        s += (i == 0 ? QStringLiteral("<h1>%1</h1>\n") : QStringLiteral("<p>%1</p>\n")).arg(esc(m.titleLines[i]));
    s += QLatin1String("<table>\n<thead><tr>");
    for (const QString& h : m.headings) s += QStringLiteral("<th>%1</th>").arg(esc(h));
    s += QLatin1String("</tr></thead>\n<tbody>\n");
    for (const QStringList& r : m.rows) {
        s += QLatin1String("<tr>");
        for (const QString& c : r) s += QStringLiteral("<td>%1</td>").arg(esc(c));
        s += QLatin1String("</tr>\n");
    }
    s += QLatin1String("</tbody>\n</table>\n</body>\n</html>\n");
    return s;
}

bool formatForSuffix(const QString& path, ExportFormat& format)
{
    const QString suf = QFileInfo(path).suffix().toLower();
    if (suf == QLatin1String("pdf")) format = ExportFormat::Pdf;
    else if (suf == QLatin1String("txt")) format = ExportFormat::Text;
    else if (suf == QLatin1String("csv")) format = ExportFormat::Csv;
    else if (suf == QLatin1String("htm") || suf == QLatin1String("html")) format = ExportFormat::Html;
    else return false;
    return true;
}

void exportReport(const PageModel& model, ExportFormat format, const QString& path)
{
    if (format == ExportFormat::Pdf) {
        writePdf(model, path);
        return;
    }
    QByteArray bytes;
    switch (format) {
    case ExportFormat::Csv: bytes = QByteArray("\xEF\xBB\xBF") + toCsv(model).toUtf8(); break;
    case ExportFormat::Text: bytes = toText(model).toUtf8(); break;
    case ExportFormat::Html: bytes = toHtml(model).toUtf8(); break;
    case ExportFormat::Pdf: break;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(path));
}

} // namespace kv::rpt
