#pragma once
// A site with site number 7 and working year 2026, and a fresh remote database prepared
// as kelvora-admin remote-init prepares one; pralune.ini points at it.
#include "data/TDM.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "support/FakeMessages.h"
#include "support/RemoteDb.h"
#include "support/TempSite.h"

class PublishTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KV_REQUIRE_PG();
        remote = std::make_unique<kvtest::RemoteDb>();
        remote->writeIni();
        site.exec("update Config set iColegio=7, anioactual=2026");
        kv::SetTablesDir(site.tablesDir());
        kv::CrearEsquemaRemoto(remote->admin(), 2026);
        remote->admin().exec("set search_path to 2026");
    }
    void TearDown() override { kv::SetTablesDir(QString()); }

    void addMov(const QString& codigo, const QString& hora, const QString& tipo = "E",
                const QVariant& nombre = "Ana", const QVariant& detalle = QVariant())
    {
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt, detalle)"
                  " values (?, '2026-12-09', ?, 1, 'D-' || ?, ?, ?, ?)",
                  {codigo, hora, codigo, nombre, tipo, detalle});
    }
    // n movements with distinct codes, all at 08:00:00.
    void addMovs(int n)
    {
        auto db = site.db();
        kv::Transaction tx(*db);
        for (int i = 0; i < n; ++i)
            db->exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt)"
                     " values (?, '2026-12-09', '08:00:00', 1, '', 'P', 'E')",
                     {QStringLiteral("C%1").arg(i)});
        tx.commit();
    }
    kv::ResultadoSubida pass(const kv::OpcionesSubida& op = {})
    {
        kv::PgConnection c;
        EXPECT_EQ(kv::ConectarInternet(c), kv::EstadoConexion::Abierta);
        return kv::SubirMovimientos(c, site.tablesDir(), 7, op);
    }
    // Remote movements of site 7 that appear more than once.
    int duplicates()
    {
        return remote->scalar("select count(*) from (select 1 from entradassalidas where icolegio=7"
                              " group by codigo, fecha, hora, tipomvt having count(*) > 1) d")
            .toInt();
    }

    kvtest::MessagesScope msgs;
    kvtest::TempSite site;
    std::unique_ptr<kvtest::RemoteDb> remote;
};
