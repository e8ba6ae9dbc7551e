#include "data/Field.h"

namespace kv {

FieldType fieldTypeFromDeclared(const QString& declared)
{
    // Asked for every column of every statement: the names are compared as Latin-1 views,
    // so no string is made for each comparison.
    const QString t = declared.trimmed().toUpper();
    if (t.isEmpty()) return FieldType::Unknown;
    const auto empieza = [&t](const char* p) { return t.startsWith(QLatin1StringView(p)); };
    const auto tiene = [&t](const char* p) { return t.contains(QLatin1StringView(p)); };
    if (empieza("DATETIME") || empieza("TIMESTAMP")) return FieldType::DateTime;
    if (empieza("DATE")) return FieldType::Date;
    if (empieza("TIME")) return FieldType::Time;
    if (empieza("BOOL") || empieza("LOGICAL")) return FieldType::Logical;
    if (tiene("INT")) return FieldType::Integer;
    if (tiene("REAL") || tiene("FLOA") || tiene("DOUB") || tiene("NUMERIC")) return FieldType::Float;
    if (tiene("CHAR") || tiene("TEXT") || tiene("CLOB")) return FieldType::Text;
    return FieldType::Unknown;
}

static QDate parseDate(const QString& s)
{
    const QString t = s.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (d.isValid()) return d;
    // mm/dd/yyyy, the dialect's own date literal
    d = QDate::fromString(t, QStringLiteral("M/d/yyyy"));
    return d;
}

static QTime parseTime(const QString& s)
{
    QString t = s.trimmed();
    if (t.size() > 10 && t[10] == 'T') t = t.mid(11);
    else if (t.size() > 10 && t[10] == ' ') t = t.mid(11);
    QTime tm = QTime::fromString(t.left(8), QStringLiteral("H:mm:ss"));
    if (!tm.isValid()) tm = QTime::fromString(t.left(8), QStringLiteral("HH:mm:ss"));
    if (!tm.isValid()) tm = QTime::fromString(t.left(5), QStringLiteral("H:mm"));
    return tm;
}

QVariant toStorage(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return QVariant();
    switch (v.metaType().id()) {
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate);
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    default: return v;
    }
}

QVariant toStorage(const QVariant& v, FieldType type, const QString& fieldName)
{
    if (!v.isValid() || v.isNull()) return QVariant();
    const int id = v.metaType().id();
    const bool isText = id == QMetaType::QString;
    const QString text = isText ? v.toString() : QString();
    switch (type) {
    case FieldType::Integer: {
        if (!isText) {
            if (id == QMetaType::Bool) return v.toBool() ? 1 : 0;
            if (id == QMetaType::Double) return qint64(v.toDouble());
            return v.toLongLong();
        }
        if (text.trimmed().isEmpty()) return QVariant();
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' no es un valor entero válido para el campo %2.")
                              .arg(text, fieldName));
        return n;
    }
    case FieldType::Float: {
        if (!isText) return v.toDouble();
        if (text.trimmed().isEmpty()) return QVariant();
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' no es un número válido para el campo %2.")
                              .arg(text, fieldName));
        return d;
    }
    case FieldType::Date: {
        QDate d;
        if (id == QMetaType::QDate) d = v.toDate();
        else if (id == QMetaType::QDateTime) d = v.toDateTime().date();
        else if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            d = parseDate(text);
        }
        if (!d.isValid())
            throw DbError(QStringLiteral("'%1' no es una fecha válida para el campo %2.")
                              .arg(v.toString(), fieldName));
        return d.toString(Qt::ISODate);
    }
    case FieldType::Time: {
        QTime t;
        if (id == QMetaType::QTime) t = v.toTime();
        else if (id == QMetaType::QDateTime) t = v.toDateTime().time();
        else if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            t = parseTime(text);
        }
        if (!t.isValid())
            throw DbError(QStringLiteral("'%1' no es una hora válida para el campo %2.")
                              .arg(v.toString(), fieldName));
        return t.toString(QStringLiteral("HH:mm:ss"));
    }
    case FieldType::DateTime: {
        QDateTime dt;
        if (id == QMetaType::QDateTime) dt = v.toDateTime();
        else if (id == QMetaType::QDate) dt = QDateTime(v.toDate(), QTime(0, 0));
        else if (id == QMetaType::QTime) dt = QDateTime(QDate(1899, 12, 30), v.toTime());
        else if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            dt = QDateTime::fromString(text.trimmed(), Qt::ISODate);
            if (!dt.isValid()) {
                const QDate d = parseDate(text);
                if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
                else {
                    const QTime tm = parseTime(text);
                    if (tm.isValid()) dt = QDateTime(QDate(1899, 12, 30), tm);
                }
            }
        }
        if (!dt.isValid())
            throw DbError(QStringLiteral("'%1' no es una fecha y hora válida para el campo %2.")
                              .arg(v.toString(), fieldName));
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case FieldType::Logical: {
        if (isText) {
            const QString t = text.trimmed().toLower();
            if (t.isEmpty()) return QVariant();
            return (t == "true" || t == "1" || t == "t" || t == "s" || t == "si" || t == "sí") ? 1 : 0;
        }
        return v.toBool() ? 1 : 0;
    }
    case FieldType::Text:
        if (isText) return text;
        return toStorage(v).toString();
    case FieldType::Unknown:
        break;
    }
    return toStorage(v);
}

bool Field::isNull() const
{
    if (!value_.isValid() || value_.isNull()) return true;
    return value_.metaType().id() == QMetaType::QString && value_.toString().isEmpty();
}

QString Field::asString() const
{
    if (!value_.isValid() || value_.isNull()) return QString();
    if (type_ == FieldType::Logical) return value_.toLongLong() ? QStringLiteral("True") : QStringLiteral("False");
    if (value_.metaType().id() == QMetaType::Double) {
        const double d = value_.toDouble();
        if (d == qint64(d)) return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    return value_.toString();
}

qint64 Field::asInteger() const
{
    if (isNull()) return 0;
    const int id = value_.metaType().id();
    if (id == QMetaType::LongLong || id == QMetaType::Int) return value_.toLongLong();
    if (id == QMetaType::Double) return qint64(value_.toDouble());
    bool ok = false;
    const QString t = value_.toString().trimmed();
    const qint64 n = t.toLongLong(&ok);
    if (!ok) throw DbError(QStringLiteral("'%1' no es un valor entero válido.").arg(t));
    return n;
}

double Field::asFloat() const
{
    if (isNull()) return 0;
    bool ok = false;
    const double d = value_.toString().trimmed().toDouble(&ok);
    if (!ok) throw DbError(QStringLiteral("'%1' no es un número válido.").arg(value_.toString()));
    return d;
}

bool Field::asBoolean() const
{
    if (isNull()) return false;
    const QString t = value_.toString().trimmed().toLower();
    return !(t == "0" || t == "false" || t == "f");
}

QDate Field::asDate() const
{
    if (isNull()) return QDate();
    return parseDate(value_.toString());
}

QTime Field::asTime() const
{
    if (isNull()) return QTime();
    return parseTime(value_.toString());
}

QDateTime Field::asDateTime() const
{
    if (isNull()) return QDateTime();
    const QString t = value_.toString().trimmed();
    const QDate d = parseDate(t);
    if (d.isValid()) {
        QTime tm(0, 0);
        if (t.size() > 10) { const QTime x = parseTime(t); if (x.isValid()) tm = x; }
        return QDateTime(d, tm);
    }
    const QTime tm = parseTime(t);
    if (tm.isValid()) return QDateTime(QDate(1899, 12, 30), tm);
    return QDateTime();
}

} // namespace kv
