// The capture on the site kelvora-admin makes for demonstrations: real persons, photos
// and three weeks of movements. KELVORA_CAPTURA_PNG=<file> saves a picture of the window
// after the entry, for a person to look at.
#include "CaptureHelpers.h"
#include "data/TDM.h"
#include "settings/UserLevel.h"
#include "support/FakeMessages.h"
#include "base/Clock.h"
#include <gtest/gtest.h>
#include <QLabel>
#include <QProcess>

using namespace captest;

namespace {

TEST(CaptureDemoSite, RegisteredCodeEntersThenLeavesWithNameAndPhoto)
{
    kvtest::TempSite work(false);
    kvtest::MessagesScope msgs;
    // The demo's movements end the day before today: the door opens this morning.
    auto reloj = kv::Clock::install(std::make_unique<kv::FixedClock>(QDateTime(QDate::currentDate(), QTime(7, 5, 0))));
    const QString dir = QDir(work.workDir()).filePath("demo");
    QProcess admin;
    admin.start(KELVORA_ADMIN, {"demo", dir});
    ASSERT_TRUE(admin.waitForFinished(60000));
    ASSERT_EQ(admin.exitCode(), 0) << admin.readAllStandardError().toStdString();

    kv::SetTablesDir(dir);
    {
        kv::TDM dm;
        dm.OpenTables();
        kv::SetUserLevel("0");
        const kv::Query p = [&] {
            kv::Query q;
            kv::EjecutarSQL(dir, q,
                            "select codigo, nestudiante, igrado, igrupo, docIdent from estudiantes"
                            " where idFoto<>'' and situacion='M' order by IGrado desc, rowid limit 1");
            return q;
        }();
        ASSERT_FALSE(p.isEmpty());
        const QString codigo = p.fieldByName("codigo").asString();
        {
            TFrmMain w(nullptr, false);
            w.show();
            capturar(w, codigo);
            EXPECT_EQ(w.lblNEstudiante->text(), codigo + " " + p.fieldByName("nestudiante").asString()
                                                     + p.fieldByName("igrado").asString() + " - "
                                                     + p.fieldByName("igrupo").asString());
            EXPECT_EQ(w.Image1->pixmap().size(), QSize(120, 160));
            const QString png = qEnvironmentVariable("KELVORA_CAPTURA_PNG");
            if (!png.isEmpty()) w.grab().save(png);
            static_cast<kv::FixedClock&>(kv::Clock::instance()).advance(60);   // leaves a minute later
            capturar(w, codigo);
            capturar(w, "NO-EXISTE");
            EXPECT_EQ(w.lblNEstudiante->text().left(codigo.size()), codigo);
            w.close();
        }
        kv::Query hoy;
        kv::EjecutarSQL(dir, hoy, "select tipomvt, docIdent from entradasSalidas where codigo=? and fecha=? order by rowid",
                        {codigo, QDate::currentDate()});
        ASSERT_EQ(hoy.recordCount(), 2);
        hoy.first();
        EXPECT_EQ(hoy.fieldByName("tipomvt").asString(), "E");
        EXPECT_EQ(hoy.fieldByName("docIdent").asString(), p.fieldByName("docIdent").asString());
        hoy.next();
        EXPECT_EQ(hoy.fieldByName("tipomvt").asString(), "S");
        EXPECT_EQ(msgs->texts(), QStringList{"Código inválido o suspendido"});
    }
    kv::SetTablesDir(QString());
    kv::SetUserLevel(QString());
    kv::Clock::install(std::move(reloj));
}

} // namespace
