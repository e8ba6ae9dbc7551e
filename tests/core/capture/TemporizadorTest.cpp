#include "capture/Temporizador.h"
#include "platform/IdleTime.h"
#include <gtest/gtest.h>

TEST(Temporizador, IdleTextRoundsToHundredthsWithoutTrailingZeros)
{
    struct Case { quint64 ms; const char* text; } cases[] = {
        {0, "Inactivo: 0 min."},       {15000, "Inactivo: 0.25 min."}, {90000, "Inactivo: 1.5 min."},
        {180000, "Inactivo: 3 min."},  {299, "Inactivo: 0 min."},      {300, "Inactivo: 0.01 min."},
        {59700, "Inactivo: 1 min."},   {61234, "Inactivo: 1.02 min."},
    };
    for (const Case& c : cases) EXPECT_EQ(kv::TextoInactivo(kv::MinutosInactivo(c.ms)), c.text) << c.ms;
}

TEST(Temporizador, OneUploadPerIdlePeriod)
{
    // minutes idle at each tick, and whether that tick uploads
    struct Step { double idle; bool uploads; } steps[] = {
        {1.5, false},   // started on an idle desk: nothing was seen yet
        {0.1, false}, {0.9, false}, {1.0, true}, {1.1, false}, {5.0, false},
        {0.02, false},  // one second of input arms the next upload
        {0.9, false}, {1.01, true}, {2.0, false},
    };
    kv::ReglasTemporizador reglas;
    bool pendiente = false;
    int i = 0;
    for (const Step& s : steps) {
        kv::Tick t;
        t.minutosInactivo = s.idle;
        t.ahora = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
        t.pendienteSubir = pendiente;
        const kv::Decision d = reglas.tick(t);
        EXPECT_EQ(d.subir, s.uploads) << "step " << i;
        EXPECT_EQ(d.texto, kv::TextoInactivo(s.idle));
        pendiente = d.subir ? false : d.pendienteSubir;
        ++i;
    }
}

TEST(Temporizador, AutomaticExitsRunAtTheFirstTickOfTheSetMinuteOnceADay)
{
    const QDateTime hora(QDate(1899, 12, 30), QTime(18, 0));
    struct Step { QDateTime now; bool exits; } steps[] = {
        {QDateTime(QDate(2026, 12, 9), QTime(17, 59, 58)), false},
        {QDateTime(QDate(2026, 12, 9), QTime(18, 0, 3)), true},
        {QDateTime(QDate(2026, 12, 9), QTime(18, 0, 8)), false},
        {QDateTime(QDate(2026, 12, 9), QTime(18, 1, 0)), false},
        {QDateTime(QDate(2026, 12, 9), QTime(18, 0, 30)), false},   // clock set back: still once
        {QDateTime(QDate(2026, 12, 10), QTime(18, 0, 1)), true},
    };
    kv::ReglasTemporizador reglas, sinHora;
    for (const Step& s : steps) {
        kv::Tick t;
        t.ahora = s.now;
        t.horaSalidaAuto = hora;
        EXPECT_EQ(reglas.tick(t).sacarLosQueQuedaron, s.exits) << s.now.toString().toStdString();
        t.horaSalidaAuto = QDateTime();
        EXPECT_FALSE(sinHora.tick(t).sacarLosQueQuedaron);
    }
}
