#pragma once
// kelvora-admin's publication commands: prepare a server, publish a site.
#include <QStringList>

namespace admin {

// remote-init [--year N]: the schema of a working year with the three published tables.
int remoteInit(const QStringList& args);
// publish DIR [--movimientos] [--estudiantes] [--consultantes]: what the window sends.
int publish(const QStringList& args);

} // namespace admin
