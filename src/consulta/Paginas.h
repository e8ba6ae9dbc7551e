#pragma once
// The consultation's pages as plain HTML with one stylesheet and no script. Every value
// goes through Html(); the functions only lay out what the caller read.
#include "consulta/Datos.h"
#include <QString>

namespace kv::consulta {

// What the frame of a session's page shows around its body.
struct Marco {
    Contexto contexto;
    QString tokenSalir;      // the form token of "Salir"
};

QString Estilo();
QString PaginaEntrar(const QString& mensaje, const QString& token, const QString& documento);
struct OpcionColegio {
    int icolegio = 0;
    QString nombre;
};
QString PaginaEleccion(const QVector<OpcionColegio>& colegios, const QString& eleccion, const QString& token);
QString PaginaFamilia(const Marco& m, const QVector<Persona>& personas, const QDate& desde, const QDate& hasta);
QString PaginaPersonal(const Marco& m, const QString& texto, const QVector<Persona>& personas);
QString PaginaPersona(const Marco& m, const Persona& p, const QVector<Movimiento>& movimientos, const QDate& desde,
                      const QDate& hasta, int diasConEntrada);
QString PaginaDia(const Marco& m, const QDate& dia, const QVector<Movimiento>& movimientos);
QString PaginaDentro(const Marco& m, const QDate& hoy, const QVector<Movimiento>& dentro);
QString PaginaNoEncontrada();
QString PaginaError(const QString& mensaje);

// "Datos publicados hasta: dd/mm/aaaa hh:mm", or that nothing is published yet.
QString TextoPublicado(const Contexto& c);

} // namespace kv::consulta
