#pragma once
// A small site for the report tests: persons in three categories, movements around a
// three-day range (2026-12-01 to 2026-12-03), a deleted person and visitors.
#include "data/TDM.h"
#include "reports/ReportKinds.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"
#include <ostream>

// Readable failures: gtest prints QStrings as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace rpttest {

struct ReportSite {
    kvtest::MessagesScope msgs;
    kvtest::TempSite site;

    ReportSite()
    {
        kv::SetTablesDir(site.tablesDir());
        fill(site);
    }
    ~ReportSite() { kv::SetTablesDir(QString()); }

    void person(const char* codigo, int grado, const char* grupo, const char* nombre, const char* situacion)
    {
        person(site, codigo, grado, grupo, nombre, situacion);
    }

    // The persons and movements described above, in any site (also a main window's).
    static void fill(const kvtest::TempSite& site)
    {
        site.exec("update Config set NColegio='Colegio Prueba', Encabezado1='Primera línea', Encabezado2='Segunda'");
        for (int g : {1, 2, 3, 5})
            site.exec("insert into AbaGrados (IGrado, NGrado) values (?, ?)", {g, QStringLiteral("Grado %1").arg(g)});
        person(site, "A1", 1, "A", "ANA", "");
        person(site, "B2", 2, "A", "BETO", "");
        person(site, "C3", 3, "B", "CARLA", "C");
        person(site, "D5", 5, "A", "DORA", "");
        person(site, "O'NEIL", 2, "A", "OSCAR O'NEIL", "");
        mov(site, "A1", "2026-11-20", "09:00:00", "E", "ANA");
        mov(site, "A1", "2026-12-01", "12:00:00", "S", "ANA");
        mov(site, "A1", "2026-12-01", "08:00:00", "E", "ANA");
        mov(site, "A1", "2026-12-02", "00:30:00", "E", "ANA");
        mov(site, "B2", "2026-12-01", "13:00:00", "S", "BETO");
        mov(site, "C3", "2026-12-03", "07:00:00", "E", "CARLA");
        mov(site, "D5", "2026-12-01", "07:00:00", "E", "DORA");
        mov(site, "X9", "2026-12-01", "07:30:00", "E", "BORRADO");
        mov(site, "O'NEIL", "2026-12-04", "10:00:00", "E", "OSCAR O'NEIL", "primera\r\nsegunda");
        mov(site, "VISIT01", "2026-12-01", "10:00:00", "E", "VISITA UNO", "", "V1");
        mov(site, "visit02", "2026-12-01", "00:30:00", "E", "VISITA DOS", "", "V2");
        site.exec("insert into visitantes (docIdent, nombre) values ('V1', 'Visita'), ('V1', 'Visita otra vez')");
    }

    static void person(const kvtest::TempSite& site, const char* codigo, int grado, const char* grupo, const char* nombre, const char* situacion)
    {
        site.exec("insert into estudiantes (codigo, IGrado, IGrupo, NEstudiante, situacion, docIdent, tipoDocIdent) "
                  "values (?, ?, ?, ?, ?, ?, 2)",
                  {QString::fromUtf8(codigo), grado, QString::fromLatin1(grupo), QString::fromUtf8(nombre),
                   QString::fromLatin1(situacion), QStringLiteral("doc-") + QString::fromUtf8(codigo)});
    }
    static void mov(const kvtest::TempSite& site, const char* codigo, const char* fecha, const char* hora, const char* tipo, const char* nombre,
             const char* detalle = "", const char* doc = "")
    {
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, nestudiante, detalle, docIdent, "
                  "tipoDocIdent, subido) values (?, ?, ?, ?, ?, ?, ?, 1, 0)",
                  {QString::fromUtf8(codigo), QString::fromLatin1(fecha), QString::fromLatin1(hora),
                   QString::fromLatin1(tipo), QString::fromUtf8(nombre), QString::fromUtf8(detalle),
                   QString::fromUtf8(doc)});
    }

    kv::rpt::PreparedReport run(const QString& kind, const QList<std::pair<QString, QString>>& params) const
    {
        kv::rpt::ReportArgs a;
        for (const auto& p : params) a.set(p.first, p.second);
        return kv::rpt::findReportKind(kind)->prepare(site.tablesDir(), a);
    }
    // One column of every row of a prepared report.
    static QStringList column(const kv::rpt::PreparedReport& r, const QString& field)
    {
        QStringList l;
        const int c = r.data.columnIndex(field);
        for (const auto& row : r.data.rows) l << row.value(c).toString();
        return l;
    }
};

} // namespace rpttest
