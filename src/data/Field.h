#pragma once
// One value read from a row, with the type its column was declared with.
#include <QDateTime>
#include <QString>
#include <QVariant>
#include "base/Error.h"

namespace kv {

// Errors of the local database engine (missing table, bad statement, ...).
class DbError : public Error {
public:
    using Error::Error;
};

enum class FieldType { Integer, Float, Text, Date, Time, DateTime, Logical, Unknown };

FieldType fieldTypeFromDeclared(const QString& declaredType);

// Converts a value into what a column of the given type stores:
// dates as yyyy-mm-dd, times as hh:mm:ss, logicals as 0/1, integers from decimal text.
// A text that is not a valid value for the type raises DbError (in Spanish).
QVariant toStorage(const QVariant& value, FieldType type, const QString& fieldName);
// Binds any value for SQLite when no column type is known.
QVariant toStorage(const QVariant& value);

class Field {
public:
    Field() = default;
    Field(QString name, FieldType type, QVariant value)
        : name_(std::move(name)), type_(type), value_(std::move(value)) {}

    const QString& name() const { return name_; }
    FieldType type() const { return type_; }
    const QVariant& value() const { return value_; }
    bool isNull() const;                 // NULL or empty text

    QString asString() const;            // empty for NULL
    qint64 asInteger() const;            // 0 for NULL/empty; DbError for non-numeric text
    double asFloat() const;
    bool asBoolean() const;              // false for NULL
    QDate asDate() const;                // invalid for NULL
    QTime asTime() const;                // invalid for NULL
    QDateTime asDateTime() const;        // date-only values at 00:00; time-only on 1899-12-30

private:
    QString name_;
    FieldType type_ = FieldType::Unknown;
    QVariant value_;
};

} // namespace kv
