#include "settings/TConfig.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "data/TableCursor.h"

namespace kv {

int LeerSegundosRepetida(const TableCursor& config)
{
    const QString f = QStringLiteral("segundosRepetida");
    if (!config.hasField(f) || config.fieldByName(f).isNull()) return 5;
    return qMax(0, int(config.fieldByName(f).asInteger()));
}

bool LeerTonosDistintos(const TableCursor& config)
{
    const QString f = QStringLiteral("tonosDistintos");
    if (!config.hasField(f) || config.fieldByName(f).isNull()) return true;
    return config.fieldByName(f).asBoolean();
}

TConfig::TConfig() : TConfig(TablesDir()) {}

TConfig::TConfig(const QString& dir)
{
    if (dir.isEmpty()) return;
    try {
        tbl_ = std::make_unique<TableCursor>(QStringLiteral("Config.db"));
        tbl_->setDirectory(dir);
        tbl_->open();
        read();
    } catch (const std::exception& e) {
        error_ = std::current_exception();
        errorTexto_ = QString::fromUtf8(e.what());
        if (errorTexto_.isEmpty()) errorTexto_ = QStringLiteral("?");
    }
}

void TConfig::read()
{
    // In this order: a missing field stops here and leaves the rest empty or 0.
    auto f = [this](const char* name) { return tbl_->fieldByName(QString::fromLatin1(name)); };
    iColegio_ = int(f("iColegio").asInteger());
    NColegio_ = f("NColegio").asString();
    Encabezado1_ = f("Encabezado1").asString();
    Encabezado2_ = f("Encabezado2").asString();
    FraseBltin_ = f("FraseBltin").asString();
    Jornada_ = f("Jornada").asString();
    rutaEscudo_ = f("rutaEscudo").asString();
    periodoactual_ = short(f("periodoactual").asInteger());
    clave_ = f("clave").asString();
    claveConsultor_ = f("claveConsultor").asString();
    NumHorasPierdeAnio_ = int(f("NumHorasPierdeAnio").asInteger());
    anioactual_ = short(f("anioactual").asInteger());
    horaSalidaAuto_ = f("horaSalidaAuto").asDateTime();
    segundosRepetida_ = LeerSegundosRepetida(*tbl_);
    tonosDistintos_ = LeerTonosDistintos(*tbl_);
    // Added later than the rest: a site that could not get the column keeps the default.
    if (tbl_->hasField(QStringLiteral("horaEntrada"))) {
        const QTime t = f("horaEntrada").asTime();
        if (t.isValid()) horaEntrada_ = t;
    }
    // Added later: older sites do not have them yet.
    if (tbl_->hasField(QStringLiteral("formatoPlanilla")) && !f("formatoPlanilla").isNull())
        formatoPlanilla_ = int(f("formatoPlanilla").asInteger());
    if (tbl_->hasField(QStringLiteral("incluirCancelados")))
        incluirCancelados_ = f("incluirCancelados").asBoolean();
}

TConfig::~TConfig()
{
    // Closing a cursor only lets go of it; there is nothing left to fail or to report.
    if (tbl_) tbl_->close();
}

void TConfig::store(const char* field, const QString& value, QString& member)
{
    try {
        if (!tbl_ || !tbl_->isActive()) throw DbError(QStringLiteral("La tabla Config no está abierta."));
        tbl_->edit();
        tbl_->setFieldValue(QString::fromLatin1(field), value);
        tbl_->post();
        member = value;
    } catch (const std::exception&) {
        if (tbl_ && tbl_->isActive() && tbl_->state() != DataSetState::Browse) tbl_->cancel();
        throw;
    }
}

void TConfig::setListas(int formato, bool incluir)
{
    try {
        if (!tbl_ || !tbl_->isActive()) throw DbError(QStringLiteral("La tabla Config no está abierta."));
        auto db = Database::forDirectory(tbl_->directory());
        if (!tbl_->hasField(QStringLiteral("formatoPlanilla")) || !tbl_->hasField(QStringLiteral("incluirCancelados"))) {
            tbl_->close();
            Transaction tx(*db);
            actualizarSitio(*db);
            tx.commit();
            tbl_->open();
        }
        tbl_->edit();
        tbl_->setFieldValue(QStringLiteral("formatoPlanilla"), formato);
        tbl_->setFieldValue(QStringLiteral("incluirCancelados"), incluir);
        tbl_->post();
        formatoPlanilla_ = formato;
        incluirCancelados_ = incluir;
    } catch (const std::exception&) {
        if (tbl_ && tbl_->isActive() && tbl_->state() != DataSetState::Browse) tbl_->cancel();
        throw;
    }
}

void TConfig::setClaveConsultor(const QString& clave) { store("ClaveConsultor", clave, claveConsultor_); }
void TConfig::setRutaEscudo(const QString& ruta) { store("rutaEscudo", ruta, rutaEscudo_); }

} // namespace kv
