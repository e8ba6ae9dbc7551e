#pragma once
// kelvora-admin report: any report kind of the program written to a file, without a screen.
#include <QStringList>
#include <QTextStream>

namespace admin {

extern const char kReportUsage[];
// The usage lines of report, with every report KIND and its parameters.
QString reportUsage();
// Exit codes: 0 written, 1 failed (site, engine, file, no data), 2 bad command line.
int reportCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace admin
