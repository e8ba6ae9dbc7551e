#pragma once
// kelvora-admin suspend and merge-groups: the register's own routines, as the windows call them.
#include <QStringList>
#include <QTextStream>

namespace admin {

// "suspend DIR CODIGO": suspends the person with that code, or enables it again. Returns
// the exit code; a wrong command line gives 2 with its message in `error`.
int suspend(const QStringList& args, QTextStream& out, QString& error);
// "merge-groups DIR GRADO ORIGEN DESTINO": moves the persons of ORIGEN into DESTINO.
int mergeGroups(const QStringList& args, QTextStream& out, QString& error);

} // namespace admin
