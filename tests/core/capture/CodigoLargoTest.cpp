// A code longer than the movement table's field is refused at the door, not stored.
#include "base/MyException.h"
#include "capture/Capture.h"
#include "support/TempSite.h"
#include <gtest/gtest.h>

TEST(CaptureCore, ACodeLongerThanItsFieldIsRefusedAndNothingStored)
{
    kvtest::TempSite site;
    struct Case {
        QString codigo;
        bool guardado;
    } cases[] = {
        {QString(20, QLatin1Char('9')), true},
        {QStringLiteral("VISIT") + QString(20, QLatin1Char('7')), false},   // a 25-character badge
        {QString(21, QLatin1Char('9')), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codigo.toStdString());
        kv::Movimiento m;
        m.codigo = c.codigo;
        m.modo = QStringLiteral("E");
        if (c.guardado) {
            kv::RegistrarMovimiento(site.tablesDir(), m);
        } else {
            try {
                kv::RegistrarMovimiento(site.tablesDir(), m);
                ADD_FAILURE() << "stored";
            } catch (const MyException& e) {
                EXPECT_EQ(e.message(), kv::TextoCodigoLargo(20));
            }
        }
        EXPECT_EQ(site.count("entradasSalidas", "codigo=?", {c.codigo}), c.guardado ? 1 : 0);
    }
}
