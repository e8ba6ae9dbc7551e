// The statements of the late-arrival, consecutive-absence and daily-attendance reports on
// prepared movements of a real site.
#include "data/Query.h"
#include "reports/InformesAsistencia.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QDate>

using namespace kvtest;

namespace {

// Monday 2 November 2026 to Tuesday 10 November: seven school days around an empty weekend.
const QDate kLunes(2026, 11, 2);
QDate dia(int offset) { return kLunes.addDays(offset); }

class AttendanceQueries : public ::testing::Test {
protected:
    void persona(int grado, const QString& grupo, const QString& codigo, const QString& nombre,
                 const QString& situacion = QString())
    {
        site.exec("insert into estudiantes (IGrado, IGrupo, codigo, NEstudiante, docIdent, acudiente,"
                  " telefacudiente, telefestud, situacion) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {grado, grupo, codigo, nombre, "D" + codigo, "Acudiente de " + nombre, "T1-" + codigo,
                   "T2-" + codigo, situacion});
    }
    void mov(const QString& codigo, const QDate& fecha, const QString& hora, const char* tipo = "E")
    {
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values (?, ?, ?, ?)",
                  {codigo, fecha, hora, QString::fromLatin1(tipo)});
    }
    static QStringList column(kv::Query& q, const char* name)
    {
        QStringList out;
        for (q.first(); !q.eof(); q.next()) out << q.fieldByName(QString::fromLatin1(name)).asString();
        return out;
    }

    TempSite site;
};

TEST_F(AttendanceQueries, LateArrivalIsTheFirstEntryOfTheDayAfterTheHour)
{
    persona(1, "B", "P01", "BETO");              // exactly on the hour
    persona(1, "B", "P02", "CARLA");             // one second late
    persona(1, "A", "P03", "DANIEL");            // early, out at noon, back after lunch
    persona(1, "A", "P04", "ELENA");             // read as an exit first, then entered late
    persona(2, "A", "P05", "FABIO");             // late on two days
    persona(3, "A", "P06", "GLORIA");            // late, but outside the category range
    mov("P01", dia(0), "07:00:00");
    mov("P02", dia(0), "07:00:01");
    mov("P03", dia(0), "06:50:00");
    mov("P03", dia(0), "12:00:00", "S");
    mov("P03", dia(0), "13:00:00");
    mov("P04", dia(0), "06:40:00", "S");
    mov("P04", dia(0), "07:20:00");
    mov("P05", dia(1), "07:10:00");
    mov("P05", dia(2), "07:05:30");
    mov("P05", dia(3), "06:59:59");
    mov("P05", dia(9), "08:00:00");              // after the range
    mov("P06", dia(0), "09:00:00");
    mov("VISIT01", dia(0), "09:00:00");

    kv::Query q;
    kv::rpt::ConsultarLlegadasTarde(site.tablesDir(), q, {dia(0), dia(8), 1, 2}, QTime(7, 0, 0));
    struct Row { const char* codigo; QDate fecha; const char* hora; int minutos, llegadas, total; };
    const Row expected[] = {
        {"P04", dia(0), "07:20:00", 20, 1, 20},   // group A before B
        {"P02", dia(0), "07:00:01", 1, 1, 1},     // a started minute counts
        {"P05", dia(1), "07:10:00", 10, 2, 16},
        {"P05", dia(2), "07:05:30", 6, 2, 16},
    };
    ASSERT_EQ(q.recordCount(), int(std::size(expected)));
    q.first();
    for (const Row& r : expected) {
        SCOPED_TRACE(r.codigo);
        EXPECT_EQ(q.fieldByName("codigo").asString(), r.codigo);
        EXPECT_EQ(q.fieldByName("fecha").asDate(), r.fecha);
        EXPECT_EQ(q.fieldByName("hora").asString(), r.hora);
        EXPECT_EQ(q.fieldByName("minutos").asInteger(), r.minutos);
        EXPECT_EQ(q.fieldByName("llegadas").asInteger(), r.llegadas);
        EXPECT_EQ(q.fieldByName("minutosTotal").asInteger(), r.total);
        q.next();
    }

    // A later hour turns the one-second and the ten-minute arrivals into punctual ones.
    kv::rpt::ConsultarLlegadasTarde(site.tablesDir(), q, {dia(0), dia(8), 1, 2}, QTime(7, 10, 0));
    EXPECT_EQ(column(q, "codigo"), QStringList({"P04"}));
}

class Absences : public AttendanceQueries {
protected:
    void SetUp() override
    {
        // Someone comes every school day, so each of them is one; the weekend stays empty.
        persona(9, "Z", "M00", "MARCADOR");
        for (int d : kDias) mov("M00", dia(d), "06:30:00");
    }
    void presente(const QString& codigo, std::initializer_list<int> dias)
    {
        for (int d : dias) mov(codigo, dia(d), "06:45:00");
    }
    static constexpr int kDias[] = {0, 1, 2, 3, 4, 7, 8};
};

TEST_F(Absences, RunsCountSchoolDaysUpToTheLastDayOfTheRange)
{
    persona(1, "A", "A01", "ANA");                     // never came
    persona(1, "A", "A02", "BRUNO");                   // missed Thursday, then Monday and Tuesday
    presente("A02", {0, 1, 2, 4});
    persona(1, "B", "A03", "CELIA");                   // last came on Thursday: Fri + Mon + Tue
    presente("A03", {0, 1, 2, 3});
    mov("VISIT77", dia(5), "10:00:00");                // a visitor on Saturday makes no school day
    persona(2, "A", "A04", "DIANA");                   // from Friday on only an exit was read
    presente("A04", {0, 1, 2, 3});
    mov("A04", dia(4), "07:00:00", "S");
    persona(2, "A", "A05", "EVA", "SUSPENDIDO");       // cannot come in: not on the list
    persona(2, "B", "A06", "FELIPE");                  // came on Tuesday only
    presente("A06", {8});

    kv::Query q;
    kv::rpt::ConsultarInasistenciasConsecutivas(site.tablesDir(), q, {dia(0), dia(9), 1, 2}, 3);
    EXPECT_EQ(column(q, "codigo"), QStringList({"A01", "A03", "A04"}));
    EXPECT_EQ(column(q, "dias"), QStringList({"7", "3", "3"}));
    q.first();
    EXPECT_EQ(q.fieldByName("desde").asDate(), dia(0));
    EXPECT_EQ(q.fieldByName("acudiente").asString(), "Acudiente de ANA");
    EXPECT_EQ(q.fieldByName("telefacudiente").asString(), "T1-A01");
    EXPECT_EQ(q.fieldByName("telefestud").asString(), "T2-A01");
    q.next();
    EXPECT_EQ(q.fieldByName("desde").asDate(), dia(4));    // Friday, over the weekend

    // The run broken by Friday's entry is two days long; K = 2 adds it.
    kv::rpt::ConsultarInasistenciasConsecutivas(site.tablesDir(), q, {dia(0), dia(9), 1, 2}, 2);
    EXPECT_EQ(column(q, "codigo"), QStringList({"A01", "A03", "A04", "A02"}));
    kv::rpt::ConsultarInasistenciasConsecutivas(site.tablesDir(), q, {dia(0), dia(9), 1, 2}, 0);
    EXPECT_EQ(column(q, "codigo").size(), 4);   // FELIPE came on the last day
    // A range ending on Thursday: CELIA came that day; ANA missed four.
    kv::rpt::ConsultarInasistenciasConsecutivas(site.tablesDir(), q, {dia(0), dia(3), 1, 2}, 1);
    EXPECT_EQ(column(q, "codigo"), QStringList({"A01", "A06", "A02"}));
    EXPECT_EQ(column(q, "dias"), QStringList({"4", "4", "1"}));
}

TEST_F(AttendanceQueries, DailyAttendancePerCategoryAndForTheWholeRange)
{
    site.exec("insert into AbaGrados (IGrado, NGrado) values (1, 'PRIMERO'), (2, 'SEGUNDO'), (3, 'TERCERO')");
    persona(1, "A", "C01", "UNO");
    persona(1, "A", "C02", "DOS");
    persona(2, "A", "C03", "TRES");
    persona(2, "A", "C04", "CUATRO");
    persona(2, "B", "C05", "CINCO", "SUSPENDIDO");   // not expected, even though it came once
    mov("C01", dia(0), "06:50:00");
    mov("C02", dia(0), "06:55:00");
    mov("C03", dia(0), "07:30:00");
    mov("C05", dia(0), "07:31:00");
    mov("C01", dia(1), "06:50:00");                  // in, out and in again: present once
    mov("C01", dia(1), "10:00:00", "S");
    mov("C01", dia(1), "11:00:00");
    mov("C04", dia(1), "07:00:00", "S");             // only an exit: absent
    mov("VISIT01", dia(2), "10:00:00");              // no school day

    kv::Query q;
    kv::rpt::ConsultarAsistenciaPorDia(site.tablesDir(), q, {dia(0), dia(6), 1, 3});
    struct Row { QDate fecha; const char* igrado; int personas, presentes; const char* porcentaje; };
    const Row expected[] = {
        {dia(0), "1", 2, 2, "100"}, {dia(0), "2", 2, 1, "50"}, {dia(0), "3", 0, 0, ""}, {dia(0), "", 4, 3, "75"},
        {dia(1), "1", 2, 1, "50"}, {dia(1), "2", 2, 0, "0"}, {dia(1), "3", 0, 0, ""}, {dia(1), "", 4, 1, "25"},
    };
    ASSERT_EQ(q.recordCount(), int(std::size(expected)));
    q.first();
    for (const Row& r : expected) {
        SCOPED_TRACE(QStringLiteral("%1 cat %2").arg(r.fecha.toString(Qt::ISODate), r.igrado).toStdString());
        EXPECT_EQ(q.fieldByName("fecha").asDate(), r.fecha);
        EXPECT_EQ(q.fieldByName("igrado").asString(), r.igrado);
        EXPECT_EQ(q.fieldByName("personas").asInteger(), r.personas);
        EXPECT_EQ(q.fieldByName("presentes").asInteger(), r.presentes);
        EXPECT_EQ(q.fieldByName("porcentaje").asString(), r.porcentaje);
        q.next();
    }

    // Only the chosen categories, in the rows and in the total.
    kv::rpt::ConsultarAsistenciaPorDia(site.tablesDir(), q, {dia(0), dia(0), 2, 2});
    EXPECT_EQ(column(q, "igrado"), QStringList({"2", ""}));
    EXPECT_EQ(column(q, "porcentaje"), QStringList({"50", "50"}));
}

TEST_F(AttendanceQueries, EmptyRangesGiveNoRows)
{
    persona(1, "A", "E01", "UNO");
    mov("E01", dia(0), "08:00:00");
    mov("E01", dia(1), "08:00:00");
    const kv::rpt::RangoAsistencia vacios[] = {
        {dia(1), dia(0), 1, 1},    // first day after the last
        {dia(3), dia(6), 1, 1},    // days without any movement
        {dia(0), dia(1), 2, 1},    // lower category above the upper one
    };
    for (const auto& r : vacios) {
        SCOPED_TRACE(r.desde.toString(Qt::ISODate).toStdString() + " " + std::to_string(r.gradoDesde));
        kv::Query q;
        kv::rpt::ConsultarLlegadasTarde(site.tablesDir(), q, r, QTime(7, 0, 0));
        EXPECT_TRUE(q.isActive());
        EXPECT_EQ(q.recordCount(), 0);
        kv::rpt::ConsultarInasistenciasConsecutivas(site.tablesDir(), q, r, 1);
        EXPECT_EQ(q.recordCount(), 0);
        kv::rpt::ConsultarAsistenciaPorDia(site.tablesDir(), q, r);
        EXPECT_EQ(q.recordCount(), 0);
    }
}

} // namespace
