#pragma once
// A command's complaint on standard error, the way every kelvora-admin command words it.
#include <QString>
#include <QTextStream>

namespace admin {

// Writes "kelvora-admin: texto"; code 2 (a wrong use) adds the pointer to --help. Returns code.
inline int mensaje(int code, const QString& texto)
{
    QTextStream err(stderr);
    err << "kelvora-admin: " << texto << Qt::endl;
    if (code == 2) err << "Use «kelvora-admin --help» para ver las órdenes." << Qt::endl;
    return code;
}

} // namespace admin
