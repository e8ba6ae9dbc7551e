// The statements the program builds, run on one real site: each case calls the code that
// builds and runs them, so a change of a statement shows here.
#include "support/Rows.h"
#include "capture/Capture.h"
#include "data/Query.h"
#include "data/TDM.h"
#include "publish/Publicacion.h"
#include "reports/MovementReports.h"
#include "register/Persons.h"
#include "base/Clock.h"
#include "support/TempSite.h"
#include <gtest/gtest.h>

using namespace kv;
using kvtest::TempSite;

namespace {

void person(const TempSite& s, int grado, const QString& grupo, int num, const QString& name, const QString& code,
            const QVariant& situacion = QVariant())
{
    kvtest::Persona(grado, grupo, name, code).numero(num).documento("D" + code, 1).situacion(situacion).en(s);
}

void move(const TempSite& s, const QString& code, const QString& fecha, const QString& hora, const QString& tipo)
{
    s.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, nestudiante) values (?, ?, ?, ?, 'x')",
           {code, fecha, hora, tipo});
}

class Statements : public ::testing::Test {
protected:
    void SetUp() override
    {
        person(site, 5, "A", 0, "ANA", "123");
        person(site, 5, "A", 1, "LUIS", "124", "SUSPENDIDO");
        person(site, 5, "B", 0, "MARTA", "125", "M");
        person(site, 7, "A", 0, "PEDRO", "126", "");
        move(site, "123", "2026-12-01", "07:00:00", "E");
        move(site, "123", "2026-12-01", "15:00:00", "S");
        move(site, "123", "2026-11-20", "07:30:00", "E");
        move(site, "125", "2026-12-01", "00:30:00", "S");
        move(site, "visit01", "2026-12-01", "09:00:00", "E");
        move(site, "VISIT01", "2026-12-01", "10:00:00", "S");
        SetTablesDir(site.tablesDir());
    }
    void TearDown() override { SetTablesDir(QString()); }
    TempSite site;
};

QStringList column(Query& q, const QString& f)
{
    QStringList l;
    for (q.first(); !q.eof(); q.next()) l << q.fieldByName(f).asString();
    return l;
}

} // namespace

TEST_F(Statements, CaptureLookupInsideTestAndRecording)
{
    const struct { const char* codigo; bool found; } lookups[] = {
        {"123", true},    // situacion null
        {"124", false},   // suspended
        {"125", true},    // other text
        {"126", true},    // empty text
        {"999", false},
        {"", false},
    };
    for (const auto& l : lookups)
        EXPECT_EQ(BuscarPersona(site.tablesDir(), l.codigo).has_value(), l.found) << l.codigo;
    const auto ana = BuscarPersona(site.tablesDir(), "123");
    ASSERT_TRUE(ana);
    EXPECT_EQ(ana->igrado, "5");
    EXPECT_EQ(ana->nestudiante, "ANA");
    EXPECT_EQ(ana->tipoDocIdent, 1);

    // the 15:00 exit of the first of December is ANA's last movement, not the later-stored 20th of November
    UltimoMovimiento u;
    EXPECT_FALSE(EstaDentro(site.tablesDir(), "123", &u));
    EXPECT_EQ(u.nestudiante, "x");

    auto realClock = Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 2), QTime(7, 15, 0))));
    Movimiento m;
    m.codigo = "123";
    m.modo = "E";
    m.nombre = ana->nestudiante;
    RegistrarMovimiento(site.tablesDir(), m);
    Clock::install(std::move(realClock));
    EXPECT_TRUE(EstaDentro(site.tablesDir(), "123"));
    EXPECT_EQ(site.scalar("select hora from entradasSalidas where codigo='123' and fecha='12/02/2026'"), "07:15:00");
}

TEST_F(Statements, MoveAndSearchPersons)
{
    Query g;
    LeerGruposDestino(site.tablesDir(), g, 5);
    EXPECT_EQ(g.recordCount(), 0);
    CambiarDeGrupo(site.tablesDir(), "125", 5, "B", -99, "C");
    EXPECT_EQ(site.scalar("select igrado || igrupo from estudiantes where codigo='125'"), "-99C");
    CambiarDeGrupo(site.tablesDir(), "123", 5, "B", 7, "A");   // not in that group: stays where it is
    EXPECT_EQ(site.scalar("select igrado || igrupo from estudiantes where codigo='123'"), "5A");

    const auto codes = [](const ResultSet& r) {
        QStringList l;
        const int c = r.columnIndex("codigo");
        for (const auto& row : r.rows) l << row[c].toString();
        l.sort();
        return l;
    };
    EXPECT_EQ(codes(BuscarPersonas(site.tablesDir(), "ar")), QStringList{"125"});
    EXPECT_EQ(codes(BuscarPersonas(site.tablesDir(), "")).size(), 4);
    EXPECT_TRUE(codes(BuscarPersonas(site.tablesDir(), "%")).isEmpty());   // a typed wildcard is searched literally
}

TEST_F(Statements, AttendanceAndNonAttendance)
{
    const QDate dia(2026, 12, 1);
    Query a = site.query(rpt::SQLAsistentes({dia, dia, 0, 11}));
    // every movement of ANA, whatever its date, in date and time order
    EXPECT_EQ(column(a, "hora"), (QStringList{"07:30:00", "07:00:00", "15:00:00"}));
    EXPECT_EQ(column(a, "nestudiante").removeDuplicates(), 2);

    Query f = site.query(rpt::SQLInasistentes({dia, dia, 5, 5}));
    QStringList names = column(f, "nestudiante");
    names.sort();
    // MARTA only left (an exit is no attendance); PEDRO is outside the category range
    EXPECT_EQ(names, (QStringList{"LUIS", "MARTA"}));
}

TEST_F(Statements, EntriesAndExitsOfResidentsAndVisitors)
{
    rpt::RangoEntradasSalidas r;
    r.desde = r.hasta = QDate(2026, 12, 1);
    r.gradoDesde = 0;
    r.gradoHasta = 11;
    // both tables have codigo: the residents' statement names the movements' one
    ASSERT_TRUE(rpt::SQLEntradasSalidas(r).contains("substring(upper(a.codigo) from 1 for 5)"));
    Query res = site.query(rpt::SQLEntradasSalidas(r));
    // MARTA's 00:30 exit falls before the default window of hours
    EXPECT_EQ(column(res, "hora"), (QStringList{"07:00:00", "15:00:00"}));

    site.exec("insert into visitantes (docIdent, nombre) values ('', 'X')");
    r.visitantes = true;
    Query v = site.query(rpt::SQLEntradasSalidas(r));
    EXPECT_EQ(column(v, "codigo"), (QStringList{"visit01", "VISIT01"}));
}

TEST_F(Statements, PublishingMovements)
{
    EXPECT_EQ(MovimientosPendientes(site.tablesDir()), 6);
    site.exec("update entradassalidas set subido=1");
    EXPECT_EQ(MovimientosPendientes(site.tablesDir()), 0);
    move(site, "126", "2026-12-02", "08:00:00", "E");
    BorrarMovimientosSubidos(site.tablesDir());
    EXPECT_EQ(site.count("entradasSalidas"), 1);
    EXPECT_EQ(MovimientosPendientes(site.tablesDir()), 1);
}
