#include "capture/AjustesPuerta.h"
#include "data/Database.h"
#include "settings/TConfig.h"

namespace kv {

AjustesPuerta::AjustesPuerta(const QString& dir, QObject* parent) : QObject(parent), dir_(dir)
{
    if (dir.isEmpty()) return;
    db_ = Database::forDirectory(dir);
    connect(db_.get(), &Database::tableChanged, this, [this](const QString& table) {
        if (table == QLatin1String("config")) leer();
    });
    connect(db_.get(), &Database::resetAll, this, &AjustesPuerta::leer);
    leer();
}

AjustesPuerta::~AjustesPuerta() = default;

void AjustesPuerta::leer()
{
    // A settings row that cannot be read was already reported where it is shown; the
    // door keeps working with what it has.
    const TConfig c(dir_);
    segundosRepetida_ = c.segundosRepetida();
    tonosDistintos_ = c.tonosDistintos();
}

} // namespace kv
