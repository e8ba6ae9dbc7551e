#include "support/Rows.h"

namespace kvtest {

void insertarGrupo(const TempSite& site, int grado, const QString& grupo, const QString& director)
{
    site.exec("insert into grupos (IGrado, IGrupo, NDirector) values (?, ?, ?)",
              {grado, grupo, director});
}

void Persona::en(const TempSite& site) const
{
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, tipoDocIdent,"
              " situacion, idFoto) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
              {grado_, grupo_, iestudiante_, nombre_, codigo_, docIdent_, tipoDoc_, situacion_, idFoto_});
}

} // namespace kvtest
