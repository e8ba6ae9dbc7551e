#pragma once
// How an error that nobody caught is shown: by the start-up's guard around the making of
// the data module and the main window, and by the application for every event handler.
#include <QString>

namespace kv {

// Call inside a catch block. MyException: its message in a box with caption "Error" and
// the error icon. Engine and other standard errors: the standard error box. Anything
// else: "An exception of type <type>\nwas thrown by line <line>\nof file <file>".
void MostrarExcepcion();

// The text for a thrown value that is no standard exception (its type name when the
// run time knows it; the line and file of a throw are not kept by C++).
QString TextoExcepcionDesconocida(const QString& typeName);

} // namespace kv
