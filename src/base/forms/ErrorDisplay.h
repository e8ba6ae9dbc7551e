#pragma once
// The one way an error is shown: by the windows' handlers, by the start-up's guard around
// the making of the data module and the main window, and by the application for every
// event handler that let one escape.
#include <QString>
#include <exception>

namespace kv {

// Call inside a catch block. MyException: its message in a box with caption "Error" and
// the error icon. Engine and other standard errors: the standard error box, their text
// read as UTF-8. Anything else: "An exception of type <type>\nwas thrown by line <line>\nof file <file>".
void MostrarExcepcion();
// The same for an error kept for later (a null one shows nothing).
void MostrarExcepcion(std::exception_ptr error);

// The text for a thrown value that is no standard exception (its type name when the
// run time knows it; the line and file of a throw are not kept by C++).
QString TextoExcepcionDesconocida(const QString& typeName);

} // namespace kv
