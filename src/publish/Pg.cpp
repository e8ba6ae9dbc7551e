#include "publish/Pg.h"
#include <QDate>
#include <QTime>
#include <libpq-fe.h>
#include <atomic>

namespace kv {

PgResult::~PgResult() { if (r_) PQclear(r_); }

PgResult& PgResult::operator=(PgResult&& o) noexcept
{
    if (this != &o) {
        if (r_) PQclear(r_);
        r_ = std::exchange(o.r_, nullptr);
    }
    return *this;
}

int PgResult::rows() const { return r_ ? PQntuples(r_) : 0; }
int PgResult::columns() const { return r_ ? PQnfields(r_) : 0; }
bool PgResult::isNull(int row, int col) const { return !r_ || PQgetisnull(r_, row, col); }

QString PgResult::value(int row, int col) const
{
    if (isNull(row, col)) return QString();
    return QString::fromUtf8(PQgetvalue(r_, row, col), PQgetlength(r_, row, col));
}

QString PgResult::value(int row, const char* column) const
{
    const int col = r_ ? PQfnumber(r_, column) : -1;
    if (col < 0) throw PgError(QStringLiteral("La columna %1 no está en el resultado.").arg(QLatin1String(column)));
    return value(row, col);
}

int PgResult::affected() const { return r_ ? QByteArray(PQcmdTuples(r_)).toInt() : 0; }

namespace {
std::atomic<long long> gOpenings{0};
}

long long PgConnection::openings() { return gOpenings.load(); }

void PgConnection::open(const PgParams& params)
{
    close();
    ++gOpenings;
    QVector<QByteArray> keys, values;
    for (const auto& p : params) {
        keys << p.first.toUtf8();
        values << p.second.toUtf8();
    }
    QVector<const char*> k, v;
    for (int i = 0; i < keys.size(); ++i) {
        k << keys[i].constData();
        v << values[i].constData();
    }
    k << "client_encoding" << nullptr;
    v << "UTF8" << nullptr;
    c_ = PQconnectdbParams(k.constData(), v.constData(), 0);
    ++trips_;
    if (!c_ || PQstatus(c_) != CONNECTION_OK) {
        const QString msg = c_ ? QString::fromUtf8(PQerrorMessage(c_)).trimmed()
                               : QStringLiteral("Sin memoria para la conexión.");
        close();
        throw PgError(msg, true);
    }
}

void PgConnection::close()
{
    if (c_) PQfinish(c_);
    c_ = nullptr;
}

bool PgConnection::isOpen() const { return c_ && PQstatus(c_) == CONNECTION_OK; }

QString PgText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default: return v.toString();
    }
}

PgResult PgConnection::exec(const QString& sql, const QVariantList& params)
{
    if (!c_) throw PgError(QStringLiteral("No hay conexión con el servidor."), true);
    QVector<QByteArray> texts;
    texts.reserve(params.size());
    QVector<const char*> values;
    values.reserve(params.size());
    for (const QVariant& p : params) {
        if (p.isNull()) {
            texts << QByteArray();
            values << nullptr;
        } else {
            texts << PgText(p).toUtf8();
            values << texts.last().constData();
        }
    }
    ++trips_;
    PgResult r(PQexecParams(c_, sql.toUtf8().constData(), int(params.size()), nullptr,
                            values.constData(), nullptr, nullptr, 0));
    PGresult* raw = r.raw();
    const ExecStatusType st = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) return r;
    const bool lost = PQstatus(c_) != CONNECTION_OK;
    QString msg = raw ? QString::fromUtf8(PQresultErrorMessage(raw)).trimmed() : QString();
    if (msg.isEmpty()) msg = QString::fromUtf8(PQerrorMessage(c_)).trimmed();
    if (msg.isEmpty()) msg = QStringLiteral("El servidor no respondió.");
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    throw PgError(msg, lost, state ? QString::fromLatin1(state) : QString());
}

PgTransaction::~PgTransaction()
{
    if (done_ || !c_.isOpen()) return;
    try { c_.exec(QStringLiteral("rollback")); } catch (...) {}
}

void PgTransaction::commit()
{
    done_ = true;
    c_.exec(QStringLiteral("commit"));
}

} // namespace kv
