#pragma once
// How the consultation writes values into its pages: escaped for HTML, dates and hours as
// the desk writes them.
#include <QDate>
#include <QString>
#include <QTime>

namespace kv::consulta {

// Text safe inside an element or a quoted attribute.
QString Html(const QString& texto);
// A value for a query string or a path segment.
QString EnUrl(const QString& texto);

QString FechaTexto(const QDate& d);                   // dd/mm/aaaa
QString HoraTexto(const QTime& t);                    // 7:02 a. m. / 1:15 p. m.
QString FechaHoraTexto(const QDate& d, const QTime& t);   // dd/mm/aaaa hh:mm
// A date typed as dd/mm/aaaa or sent by a date field as aaaa-mm-dd; invalid otherwise.
QDate LeerFecha(const QString& texto);

// Where a person is by the published data of today: the type ("E"/"S") and hour of the
// person's latest movement of the day, or an empty type when there is none.
QString EstadoTexto(const QString& tipoUltimo, const QTime& horaUltimo);

QString TextoMovimiento(const QString& tipo);         // "Entrada" / "Salida"

} // namespace kv::consulta
