#pragma once
// What the desktop offers: the default browser and a text editor, both started without
// waiting for them.
#include <QString>
#include <QStringList>
#include <functional>

namespace kv {

// The maker's web site, opened from the menu and shown in the about box.
inline QString DireccionWebFabricante() { return QStringLiteral("https://www.ormelix.com"); }

// Asks the desktop to open a web address in the default browser. False when it cannot.
bool AbrirDireccionWeb(const QString& url);

// Opens a text file in the desktop's text editor, creating the file when missing; does
// not wait for the editor. False when no editor could be started or the file not made.
bool AbrirEditorTexto(const QString& file);

// The command that opens `file` in a text editor ({program, args...}; empty when none).
// On Windows: Notepad. Elsewhere: $VISUAL, then $EDITOR, when it names a graphical editor
// (a terminal editor such as vi would have no terminal to run in); else xdg-open, which
// opens the file in the desktop's own editor; else the first graphical editor installed.
// `env` reads a variable, `which` finds a program on the PATH ("" when missing).
QStringList EditorCommand(const QString& file, const std::function<QString(const QString&)>& env,
                          const std::function<QString(const QString&)>& which);

// Seams for the two launches (tests record them instead of starting programs).
using DetachedStarter = std::function<bool(const QString& program, const QStringList& args)>;
using UrlOpener = std::function<bool(const QString& url)>;
DetachedStarter SetDetachedStarter(DetachedStarter s);   // returns the previous one
UrlOpener SetUrlOpener(UrlOpener o);

} // namespace kv
