#include "support/FirstSchema.h"
#include "data/Database.h"
#include <QDir>
#include <sqlite3.h>
#include <stdexcept>

namespace kvtest {

namespace {
const char* const kPrimerEsquema[] = {
    "CREATE TABLE estudiantes (IGrado SMALLINT, IGrupo VARCHAR(2), IEstudiante INTEGER,"
    " NEstudiante VARCHAR(60), codigo VARCHAR(20), docIdent VARCHAR(20), tipoDocIdent INTEGER,"
    " NumMatr INTEGER, numCarnet INTEGER, rh VARCHAR(5), sitSocial VARCHAR(5), situacion VARCHAR(15),"
    " idFoto VARCHAR(80), fechaNac DATE, edad INTEGER, acudiente VARCHAR(60), docacud VARCHAR(20),"
    " telefacudiente VARCHAR(30), dirresacud VARCHAR(80), telefestud VARCHAR(30), Direccion VARCHAR(80),"
    " EPS VARCHAR(40), observaciones TEXT, gradoantesbod VARCHAR(5), grupoantesbod VARCHAR(5))",
    "CREATE TABLE grupos (IGrado SMALLINT, IGrupo VARCHAR(2), IProfesor VARCHAR(40), NDirector VARCHAR(60),"
    " Mensaje VARCHAR(12))",
    "CREATE TABLE AbaGrados (IGrado SMALLINT, NGrado VARCHAR(40))",
    "CREATE TABLE entradasSalidas (codigo VARCHAR(20), fecha DATE, hora TIME, tipoDocIdent INTEGER,"
    " docIdent VARCHAR(20), nestudiante VARCHAR(60), tipomvt VARCHAR(1), detalle TEXT, subido BOOLEAN)",
    "CREATE TABLE visitantes (docIdent VARCHAR(20), tipoDocIdent INTEGER, nombre VARCHAR(60),"
    " fechaUltVisit DATE, horaUltVisit TIME, observaciones TEXT)",
    "CREATE TABLE dependencias (ndependencia VARCHAR(40))",
    "CREATE TABLE consultantes (docIdent VARCHAR(20), nombre VARCHAR(60), clave VARCHAR(20),"
    " nivelConsulta INTEGER)",
    "CREATE TABLE Config (iColegio INTEGER, NColegio VARCHAR(80), Encabezado1 VARCHAR(100),"
    " Encabezado2 VARCHAR(100), FraseBltin VARCHAR(100), Jornada VARCHAR(20), rutaEscudo VARCHAR(255),"
    " periodoactual SMALLINT, clave VARCHAR(20), claveConsultor VARCHAR(20), NumHorasPierdeAnio INTEGER,"
    " anioactual SMALLINT, horaSalidaAuto DATETIME)",
    "CREATE TABLE AbaMaterias (IGrado SMALLINT, IMateria VARCHAR(8), NMateria VARCHAR(40), IntHoraria INTEGER,"
    " tipoNota VARCHAR(5), ContarAplazarDefinitivo BOOLEAN)",
    "CREATE TABLE AbaProfesores (IProfesor VARCHAR(12), NProfesor VARCHAR(40))",
    "CREATE TABLE MovMat (IGrado SMALLINT, IGrupo VARCHAR(2), IMateria VARCHAR(8), IProfesor VARCHAR(12))",
    "CREATE TABLE periodos (IPeriodo SMALLINT, NPeriodo VARCHAR(30), fechaInicial DATE, fechaFinal DATE)",
    "CREATE TABLE notas (codigo VARCHAR(20), IGrado SMALLINT, IGrupo VARCHAR(2), IEstudiante INTEGER,"
    " IMateria VARCHAR(8), IPeriodo SMALLINT, nota REAL)",
    "CREATE TABLE notasdef (IGrado SMALLINT, IGrupo VARCHAR(2), IEstudiante INTEGER, IMateria VARCHAR(8),"
    " notaDef REAL)",
    "INSERT INTO Config (iColegio, NColegio, Encabezado1, Encabezado2, FraseBltin, Jornada, rutaEscudo,"
    " periodoactual, clave, claveConsultor, NumHorasPierdeAnio, anioactual, horaSalidaAuto)"
    " VALUES (7, 'Colegio Viejo', '', '', '', 'Mañana', '', 1, 'c', '', 0, 2020, '1899-12-30 18:00:00')",
};
} // namespace

void crearSitioPrimerEsquema(const QString& dir)
{
    QDir d(dir);
    if (!d.mkpath(QStringLiteral(".")) || !d.mkpath(QStringLiteral("imagenes")))
        throw std::runtime_error("cannot make the site directory");
    sqlite3* db = nullptr;
    const QByteArray file = d.filePath(kv::Database::siteFileName()).toUtf8();
    if (sqlite3_open(file.constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot make the site file");
    }
    for (const char* sql : kPrimerEsquema) {
        char* err = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const std::string msg = std::string(sql) + ": " + (err ? err : "");
            sqlite3_free(err);
            sqlite3_close(db);
            throw std::runtime_error(msg);
        }
    }
    sqlite3_close(db);
}

} // namespace kvtest
