#pragma once
// Groups of a category: checks and writes behind the group dialogs and the main window.
// `dir` is the site's tables directory; a cursor passed in works in its own directory.
#include <QString>

namespace kv {

class TableCursor;

// Validation of a new group: the messages of one attempt, in order ("" when it may be
// added). The code is compared exactly with the groups of the category.
QString ValidarGrupoNuevo(const QString& dir, int grado, const QString& grupo);

// Appends the group row through `grupos` (the row becomes its current row), gives the
// group the subject links of its category in MovMat and hands every MovMat row of the
// category still without group to it. All in one transaction: on an engine error
// nothing is stored and DbError propagates.
void AdicionarGrupo(TableCursor& grupos, int grado, const QString& grupo, const QString& director,
                    const QString& mensaje);

// Stores director and message in the row of (grado, grupo), found through `grupos`.
void ModificarGrupo(TableCursor& grupos, int grado, const QString& grupo, const QString& director,
                    const QString& mensaje);

// Deletes a group with its subject links and its persons (their movements stay), in one
// transaction: on an engine error every table stays as it was and DbError propagates.
void BorrarGrupo(const QString& dir, int grado, const QString& grupo);

} // namespace kv
