#pragma once
// Merging two groups of a category of the site in tables directory `dir`.
#include <QString>
#include <functional>

namespace kv {

// "" when the two groups may be merged, else the message to show. The destination must be
// a stored group of the category: persons moved anywhere else vanish from every list.
QString ValidarFusion(const QString& dir, int grado, const QString& origen, const QString& destino);

// Moves every person of `origen` to `destino`, numbered after the highest internal
// number of `destino` (from 0 when it has none), carries their marks along in notas and
// notasdef, and deletes the row of `origen` from grupos. Codes and movements stay.
// Each person is moved by its own row, so two persons sharing a number, or one without
// a number, each get a number of their own; a person without a number has no marks to
// carry. Marks in notas are matched on the person's code as well as its number, so two
// persons sharing a number keep their own marks; rows of notasdef, which hold no code,
// move only with a number no other person of the group shares (shared ones stay where
// they are rather than go to the wrong person). A destination that ValidarFusion refuses
// raises std::invalid_argument with its message and changes nothing. One transaction: on an engine error every table stays as it was and DbError
// propagates. `aviso` receives the progress texts for the wait notice.
// Returns the number of persons moved.
int FusionarGrupos(const QString& dir, int grado, const QString& origen, const QString& destino,
                   const std::function<void(const QString&)>& aviso = {});

} // namespace kv
