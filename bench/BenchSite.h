#pragma once
// The benchmark site shared by the programs of bench/: persons and a growing movements
// table loaded in bulk, straight through prepared statements.
#include "data/Database.h"
#include "data/Schema.h"
#include <QDate>
#include <QRandomGenerator>
#include <QTime>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace bench {

inline QString codeOf(int i) { return QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0')); }

inline void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Bulk rows go straight through one prepared statement inside one transaction: loading a
// million rows one commit at a time would take hours with synchronous=FULL. Every 50th
// person is suspended.
inline void addPersons(kv::Database& db, int persons)
{
    sqlite3* h = db.handle();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h,
                             "INSERT INTO estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent,"
                             " tipoDocIdent, situacion, idFoto) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)",
                             -1, &st, nullptr), h);
    kv::Transaction tx(db);
    for (int i = 0; i < persons; ++i) {
        const QByteArray grupo = QByteArray(1, char('A' + i % 4));
        const QByteArray nombre = QStringLiteral("PERSONA %1").arg(i).toUtf8();
        const QByteArray code = codeOf(i).toUtf8();
        const QByteArray doc = QByteArray::number(10000000 + i);
        const QByteArray foto = code + ".jpg";
        sqlite3_bind_int(st, 1, 1 + i % 11);
        sqlite3_bind_text(st, 2, grupo.constData(), grupo.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, i);
        sqlite3_bind_text(st, 4, nombre.constData(), nombre.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, code.constData(), code.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, doc.constData(), doc.size(), SQLITE_TRANSIENT);
        if (i % 50 == 0) sqlite3_bind_text(st, 7, "SUSPENDIDO", -1, SQLITE_STATIC);
        else sqlite3_bind_text(st, 7, "M", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 8, foto.constData(), foto.size(), SQLITE_TRANSIENT);
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    tx.commit();
}

// Appends movements until the table holds `target` rows: every person alternates entry and
// exit, one school day after another, so each code ends up with many rows.
inline void growMovements(kv::Database& db, int persons, qint64 target, qint64& stored, QDate& day)
{
    // As the import of an old site: the table of last movements is made once at the end,
    // not kept row by row inside the long transaction.
    kv::suspenderUltimos(db);
    sqlite3* h = db.handle();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h,
                             "INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante,"
                             " tipomvt, detalle, subido) VALUES (?, ?, ?, 1, ?, ?, ?, NULL, 0)",
                             -1, &st, nullptr), h);
    QRandomGenerator rng(20261209);
    kv::Transaction tx(db);
    while (stored < target) {
        const QByteArray fecha = day.toString(Qt::ISODate).toUtf8();
        for (int i = 0; i < persons && stored < target; ++i) {
            const bool exit = (stored / persons) % 2 == 1;
            const int secs = exit ? 14 * 3600 + rng.bounded(3600) : 6 * 3600 + rng.bounded(3600);
            const QByteArray hora = QTime(0, 0).addSecs(secs).toString(QStringLiteral("HH:mm:ss")).toUtf8();
            const QByteArray code = codeOf(i).toUtf8();
            const QByteArray doc = QByteArray::number(10000000 + i);
            const QByteArray nombre = QStringLiteral("PERSONA %1").arg(i).toUtf8();
            sqlite3_bind_text(st, 1, code.constData(), code.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, fecha.constData(), fecha.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, hora.constData(), hora.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, doc.constData(), doc.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 5, nombre.constData(), nombre.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 6, exit ? "S" : "E", 1, SQLITE_STATIC);
            check(sqlite3_step(st), h);
            sqlite3_reset(st);
            ++stored;
        }
        if ((stored / persons) % 2 == 0) day = day.addDays(1);
    }
    sqlite3_finalize(st);
    tx.commit();
    kv::prepararUltimos(db);
}

} // namespace bench
