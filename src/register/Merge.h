#pragma once
// Merging two groups of a category.
#include <QString>
#include <functional>

namespace kv {

// "" when the two groups may be merged, else the message to show. An empty destination
// is refused: its persons would land in a group no list can show.
QString ValidarFusion(const QString& origen, const QString& destino);

// Moves every person of `origen` to `destino`, numbered after the highest internal
// number of `destino` (from 0 when it has none), carries their marks along in notas and
// notasdef, and deletes the row of `origen` from grupos. Codes and movements stay.
// Each person is moved by its own row, so two persons sharing a number, or one without
// a number, each get a number of their own; a person without a number has no marks to
// carry. One transaction: on an engine error every table stays as it was and DbError
// propagates. `aviso` receives the progress texts for the wait notice.
// Returns the number of persons moved.
int FusionarGrupos(int grado, const QString& origen, const QString& destino,
                   const std::function<void(const QString&)>& aviso = {});

} // namespace kv
