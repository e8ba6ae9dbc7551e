#pragma once
// The title block of the movement reports: logo, site name and two header lines, read
// from a settings record made for the report (so every report sees the latest options).
#include "reports/engine/ReportLayout.h"

namespace kv::rpt {

extern const char* const kLogoError;   // shown once when the logo cannot be loaded

struct TitleBlock {
    QString colegio, encabezado1, encabezado2;
    short anio = 0;
    QImage logo;              // the site's logo, or the built-in picture
    bool logoCargado = false;
    std::exception_ptr errorConfig;   // a settings row that could not be read (null = none)
};

// Reads the settings record of the current site and loads the logo file it names.
TitleBlock LeerTitulo();
// Loads a logo file; false (and the built-in picture) for an empty path, a missing file or
// a picture that cannot be read.
bool CargarEscudo(const QString& ruta, QImage& logo);
QImage EscudoIncorporado();

// Adds the title band: logo, site name, header lines and the report's title line.
// `grande` is the one-person report's variant (15 pt name, 11 pt headers).
void AgregarTitulo(ReportLayout& layout, const TitleBlock& t, double bandHeight, bool grande);

} // namespace kv::rpt
