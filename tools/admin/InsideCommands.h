#pragma once
// kelvora-admin inside: who is inside a site now, on the console or in a CSV file.
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace admin {

struct InsideOptions {
    QString dir;
    QString csvFile;   // "" = list on the console
};

// Reads "DIR [--csv FILE]"; returns the message of a wrong command line ("" = fine).
QString parseInside(const QStringList& args, InsideOptions& options);

// Prints the totals, and the list or the name of the CSV file written. Raises kv::DbError
// on engine errors and MyException when the file cannot be written.
void runInside(const InsideOptions& options, QTextStream& out, QTextStream& err);

} // namespace admin
