#pragma once
// Publishing the site's movements, persons and consultants to the remote tables.
#include "publish/Pg.h"
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <functional>

namespace kv {

// What one pass of SubirMovimientos did, for the status line of the main window.
struct ResultadoSubida {
    bool conectado = false;   // the pass reached the server
    bool anioSinConfigurar = false;   // working year 0: nothing was tried
    int enviadas = 0;         // movements the server now holds that it did not before the pass
    int rechazadas = 0;       // refused by the server; they go again with the next pass
    int pendientes = 0;       // movements still waiting when the pass ended
    QDateTime cuando;         // end of the pass (program clock)
    QString motivo;           // why the pass did not reach the server or was cut, in Spanish
};

// "Información subida a Internet" when the server took everything; otherwise "Se subieron N;
// el servidor rechazó M, vea LogError.txt".
QString TextoResultadoSubida(int enviadas, int rechazadas);
// A row the server refused: who it is and why, in Spanish.
inline QString TextoRechazado(const QString& quien, const QString& motivo)
{
    return QStringLiteral("El servidor no aceptó a %1: %2.").arg(quien, motivo);
}

// Told of every pass of SubirMovimientos, whoever ran it (timer, window, command line).
class AvisosSubida : public QObject {
    Q_OBJECT
public:
    static AvisosSubida& instance();
signals:
    void subidaTerminada(const kv::ResultadoSubida& resultado);
    // A tick of the door's timer found the desk idle: the pending count is read again, so
    // passes of other processes and rows written from outside show up.
    void escritorioInactivo();
};

// Called as a section advances: rows done so far and rows of the section.
using Progreso = std::function<void(int hechas, int total)>;

struct OpcionesSubida {
    int lote = 1000;          // movements per remote transaction
    // Called after each batch is committed on the server, before the local rows are marked.
    Progreso progreso;
};

// Local movements still to publish (never sent, refused, or sent without a known outcome).
int MovimientosPendientes(const QString& tablesDir);

// One pass over the unpublished movements of `tablesDir` on an open connection, with site
// number `icolegio`. Only rows whose insert the server committed are marked published; a
// refused row is written to the error log and stays for the next pass. Each batch is one
// server transaction whose number is written on its rows before they go; rows of a pass
// that lost the server before the answer are settled by asking the server whether that
// transaction committed. A statement cut by the time-out ends the pass with its rows
// pending. Local engine errors go up.
ResultadoSubida SubirMovimientos(PgConnection& c, const QString& tablesDir, int icolegio,
                                 const OpcionesSubida& opciones = {});
// The pass of the program: its own connection, the site's tables and settings.
ResultadoSubida SubirMovimientos();

// The site's persons replace its remote rows, all in one transaction. A person the server
// refuses stays out (named in `rechazados` and in the error log); the rest go.
struct ResultadoPersonas {
    int filas = 0;            // person rows read
    int enviadas = 0;
    QStringList sinCodigo;    // names of the persons skipped for having no code
    QStringList rechazados;   // TextoRechazado() of each person the server refused
};
inline QString TextoSinCodigo(const QString& nombre)
{
    return QStringLiteral("Debe asignarle código al estudiante: ") + nombre;
}
ResultadoPersonas SubirEstudiantes(PgConnection& c, const QString& tablesDir, int icolegio,
                                   const Progreso& progreso = {});

// The site's consultants replace its remote rows, in one transaction. Two local rows with
// the same document give one remote row: the last one's name and level, the first one's
// password.
struct ResultadoConsultantes {
    int filas = 0;
    int enviadas = 0;         // consultant rows with a document (merged or not) the server took
    QStringList rechazados;   // TextoRechazado() of each consultant the server refused
};
ResultadoConsultantes SubirConsultantes(PgConnection& c, const QString& tablesDir, int icolegio,
                                        const Progreso& progreso = {});

} // namespace kv

Q_DECLARE_METATYPE(kv::ResultadoSubida)
