#pragma once
// Helpers of the capture tests: typing at the door, reading back stored movements,
// and a guard that fails on any dialog that should not have opened.
#include "app/forms/TFrmMain.h"
#include "data/Query.h"
#include "support/TempSite.h"
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <vector>

namespace captest {

// Types a code into edCodigo and presses Enter, as the operator (or the scanner) does.
inline void capturar(TFrmMain& w, const QString& code)
{
    w.edCodigo->setFocus();
    w.edCodigo->clear();
    if (!code.isEmpty()) QTest::keyClicks(w.edCodigo, code);
    QTest::keyClick(w.edCodigo, Qt::Key_Return);
}

struct Mov {
    QString codigo, fecha, hora;
    qint64 tipoDocIdent = 0;
    QString docIdent, nestudiante, tipomvt, detalle;
    bool detalleVacio = true;
    bool subidoVacio = true;
};

inline std::vector<Mov> movimientos(const kvtest::TempSite& site, const QString& codigo = QString())
{
    kv::Query q = codigo.isNull()
                      ? site.query("select * from entradasSalidas order by rowid")
                      : site.query("select * from entradasSalidas where codigo=? order by rowid", {codigo});
    std::vector<Mov> out;
    for (q.first(); !q.eof(); q.next()) {
        Mov m;
        m.codigo = q.fieldByName("codigo").asString();
        m.fecha = q.fieldByName("fecha").asString();
        m.hora = q.fieldByName("hora").asString();
        m.tipoDocIdent = q.fieldByName("tipoDocIdent").asInteger();
        m.docIdent = q.fieldByName("docIdent").asString();
        m.nestudiante = q.fieldByName("nestudiante").asString();
        m.tipomvt = q.fieldByName("tipomvt").asString();
        m.detalle = q.fieldByName("detalle").asString();
        m.detalleVacio = q.fieldByName("detalle").isNull();
        m.subidoVacio = q.fieldByName("subido").isNull();
        out.push_back(m);
    }
    return out;
}

// Every row of a table, as text, for "nothing else changed" checks.
inline QStringList volcado(const kvtest::TempSite& site, const QString& table)
{
    kv::Query q = site.query("select * from " + table + " order by rowid");
    QStringList rows;
    for (q.first(); !q.eof(); q.next()) {
        QStringList cells;
        for (const QString& f : q.fieldNames()) cells << q.fieldByName(f).asString();
        rows << cells.join('|');
    }
    return rows;
}

// Rejects and counts every modal dialog that opens while it lives.
class SinDialogos {
public:
    SinDialogos()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++abiertos;
                d->reject();
            }
        });
        timer_.start(10);
    }
    int abiertos = 0;
private:
    QTimer timer_;
};

} // namespace captest
