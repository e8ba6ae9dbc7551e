#pragma once
// The installation's INI file ".\pralune.ini" in the working directory: the position of the
// chosen site in the site list (section ACTION, key AliasColegio) and the server of the
// publication (section Internet). Sections and keys match without regard to case, as
// Windows INI files do; a "; comment" after a value is not part of it. The texts are read
// as UTF-8 when the file is valid UTF-8, else as Windows-1252.
#include <QString>

namespace kv {

inline QString IniFileName() { return QStringLiteral("pralune.ini"); }

// A value of the INI file in the working directory; `def` when the file, the section or
// the key is missing.
QString LeerIni(const QString& section, const QString& key, const QString& def = QString());
// The same from the INI file at `path` (the working directory's when empty).
QString LeerIniDe(const QString& path, const QString& section, const QString& key, const QString& def = QString());
// Writes a value, keeping every other byte of the file. False when it cannot be written.
bool EscribirIni(const QString& section, const QString& key, const QString& value);

// The remembered site position: 0 when missing or not a whole number, so that a damaged
// file never stops the program.
int LeerAliasColegio();
bool EscribirAliasColegio(int posicion);

} // namespace kv
