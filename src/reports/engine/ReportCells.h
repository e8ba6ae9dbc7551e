#pragma once
// What the report engine's parts share about printing a stored value: the locale's formats
// and a cell's printed text, both kept between lines.
#include "data/Database.h"
#include <QHash>
#include <QLocale>
#include <QString>

namespace kv::rpt::detail {

// The locale and its two formats, read once per report line is too often: kept until the
// default locale changes.
struct LocaleFormats {
    QLocale locale;
    QString shortDate, longTime;
    // A report prints the same few dates and hours on thousands of lines: each stored text is
    // formatted once, and every line shares the one string.
    QHash<QString, QString> dates, times;
};

const LocaleFormats& formats();
// The printed text of column c of a row: dates and hours in the locale's formats.
QString cellText(const ResultSet& rs, int row, int c);

}  // namespace kv::rpt::detail
