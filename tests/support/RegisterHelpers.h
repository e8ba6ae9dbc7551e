#pragma once
// Rows for the register tests, written with bound values through the statement runner.
#include "support/Rows.h"
#include "support/TempSite.h"

namespace regtest {

inline void categoria(const kvtest::TempSite& s, int grado, const QString& nombre)
{
    s.exec("insert into AbaGrados (IGrado, NGrado) values (?, ?)", {grado, nombre});
}

inline void grupo(const kvtest::TempSite& s, int grado, const QString& g, const QString& director = QString())
{
    kvtest::insertarGrupo(s, grado, g, director);
}

inline void persona(const kvtest::TempSite& s, int grado, const QString& g, int iest, const QString& nombre,
                    const QString& codigo, const QVariant& situacion = QVariant(), const QString& idFoto = QString())
{
    kvtest::Persona(grado, g, nombre, codigo).numero(iest).situacion(situacion).foto(idFoto).en(s);
}

inline void materia(const kvtest::TempSite& s, int grado, const QString& imateria)
{
    s.exec("insert into AbaMaterias (IGrado, IMateria, NMateria) values (?, ?, ?)", {grado, imateria, imateria});
}

// IEstudiante of a person by code, as text ("" when the code is not stored).
inline QString numero(const kvtest::TempSite& s, const QString& codigo)
{
    return s.scalar("select IEstudiante from estudiantes where codigo=?", {codigo});
}
inline QString grupoDe(const kvtest::TempSite& s, const QString& codigo)
{
    return s.scalar("select IGrupo from estudiantes where codigo=?", {codigo});
}

// A whole table as sorted text lines, to compare "before" and "after".
inline QStringList volcado(const kvtest::TempSite& s, const QString& tabla)
{
    kv::Query q = s.query("select * from " + tabla);
    QStringList filas;
    for (q.first(); !q.eof(); q.next()) {
        QStringList campos;
        for (const QString& f : q.fieldNames()) campos << q.fieldByName(f).asString();
        filas << campos.join('|');
    }
    filas.sort();
    return filas;
}

} // namespace regtest
