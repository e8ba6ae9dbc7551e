#pragma once
// A whole site from its Paradox-format tables: a new site with Kelvora's tables is made and
// every row of every table of the site is copied into it, with the photographs.
#include "import/ImportarPersonas.h"
#include <QString>
#include <QVector>
#include <functional>

namespace kv {

struct InformeTabla {
    QString tabla;                    // the table of the new site
    QString archivo;                  // the file read ("" when the old site has none)
    int leidas = 0;
    int escritas = 0;
    QVector<FilaRechazada> rechazadas;   // linea = row of the old table, from 1
    QStringList camposIgnorados;      // fields of the old table the new one has not
};

struct ResultadoSitio {
    QVector<InformeTabla> tablas;     // in the order of the schema
    int fotos = 0;                    // files copied into imagenes
};

// Reads the tables of the site in `viejo` (file names in any letter case, .DB with their .MB
// memo files, password-protected or not), makes the site `nuevo` and copies every row of every
// table into it, matching fields by name without regard to case, dates and times converted
// and texts from the tables' code page to Unicode; then copies the imagenes directory. A row a
// field of the new site cannot hold is refused and reported, never cut. The site is built in a
// temporary directory beside `nuevo` and moved into place at the end, so a failure leaves no
// half-made site. Raises ImportError (a table that cannot be read: the message names the file;
// `nuevo` already holding something) or DbError. `alAvanzar(tabla, filas)` is called now and then.
ResultadoSitio ImportarSitio(const QString& viejo, const QString& nuevo,
                             const std::function<void(const QString&, int)>& alAvanzar = {});

QString InformeSitio(const ResultadoSitio& r);

// The sites of an old working directory's site list Config.DB (Paradox format), in table order.
struct SitioAnterior {
    QString colegio;
    QString rutaTablas;
};
QVector<SitioAnterior> SitiosAnteriores(const QString& directorioTrabajo);

} // namespace kv
