#include "reports/engine/ReportLayout.h"
#include "reports/engine/ReportCells.h"
#include "data/Field.h"
#include <QLocale>

namespace kv::rpt {

// Rows and cells of the data a report prints.

QVariant ReportRow::value(const QString& field) const
{
    if (!valid()) return {};
    const int c = rs_->columnIndex(field);
    return c < 0 ? QVariant() : rs_->rows[index_].value(c);
}

QLocale reportLocale()
{
    const QLocale l;
    return l.language() == QLocale::C ? QLocale(QLocale::Spanish, QLocale::Colombia) : l;
}

namespace detail {

const LocaleFormats& formats()
{
    static LocaleFormats f;
    static QString key;
    const QString now = QLocale().name();
    if (key != now || f.shortDate.isEmpty()) {
        key = now;
        f.locale = reportLocale();
        f.shortDate = f.locale.dateFormat(QLocale::ShortFormat);
        // The locale's long format names the time zone; a movement's time has none.
        f.longTime = f.locale.timeFormat(QLocale::LongFormat);
        f.longTime.remove(QLatin1Char('t'));
        f.longTime = f.longTime.trimmed();
        f.dates.clear();
        f.times.clear();
    }
    return f;
}

QString cellText(const ResultSet& rs, int row, int c)
{
    const QVariant& v = rs.rows[row].at(c);
    if (v.isNull()) return {};
    const FieldType type = rs.columns[c].type;
    if (type != FieldType::Date && type != FieldType::Time) return Field(QString(), type, v).asString();
    const bool stored = v.typeId() == QMetaType::QString;
    LocaleFormats& lf = const_cast<LocaleFormats&>(formats());
    QHash<QString, QString>& cache = type == FieldType::Date ? lf.dates : lf.times;
    if (stored) {
        auto it = cache.constFind(v.toString());
        if (it != cache.constEnd()) return *it;
    }
    const Field f(QString(), type, v);
    QString out;
    if (type == FieldType::Date) {
        const QDate d = f.asDate();
        out = d.isValid() ? lf.locale.toString(d, lf.shortDate) : f.asString();
    } else {
        const QTime t = f.asTime();
        out = t.isValid() ? lf.locale.toString(t, lf.longTime) : f.asString();
    }
    if (stored) {
        if (cache.size() > 100000) cache.clear();
        cache.insert(v.toString(), out);
    }
    return out;
}

} // namespace detail

QString ReportRow::text(const QString& field) const
{
    if (!valid()) return {};
    const int c = rs_->columnIndex(field);
    return c < 0 ? QString() : detail::cellText(*rs_, index_, c);
}

} // namespace kv::rpt
