#pragma once
// Movements already published live on in the remote database; the local table keeps only
// those still to send. At start-up they are deleted in batches once the main window is on
// screen, so a site with a million movements opens at once. Until the deletion is over:
// - a code's own published rows are deleted before its capture decides the direction
//   (EstaDentro), so the result is the same as after a whole deletion;
// - a publication must call CompletarBorradoPublicados() before it sends anything.
#include <QString>
#include <functional>

class QObject;

namespace kv {

// Marks the deletion as pending for the site in `tablesDir`.
void IniciarBorradoPublicados(const QString& tablesDir);
bool BorradoPublicadosPendiente();
// Deletes up to `lote` published rows in one transaction (2,000 take a few tens of
// milliseconds, so a scan waits no longer than that); returns how many. When none is
// left the deletion stops being pending. DbError propagates and the deletion stays pending.
int BorrarLotePublicados(int lote = 2000);
// Deletes everything that is left, now.
void CompletarBorradoPublicados();
// Deletes the published rows of one code (a few, through the index on codigo).
void BorrarPublicadosDeCodigo(const QString& tablesDir, const QString& codigo);

// Starts the pending deletion on the event loop, one batch per turn, while `context`
// lives. An error stops it (still pending) and goes to `alFallar`.
void BorrarPublicadosEnSegundoPlano(QObject* context, std::function<void()> alFallar);

} // namespace kv
