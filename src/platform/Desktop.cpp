#include "platform/Desktop.h"
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kv {

namespace {
DetachedStarter& starter()
{
    static DetachedStarter s = [](const QString& program, const QStringList& args) {
        return QProcess::startDetached(program, args);
    };
    return s;
}

UrlOpener& opener()
{
    static UrlOpener o = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    return o;
}

// Editors that open their own window.
const QStringList& graphicalEditors()
{
    static const QStringList l = {
        QStringLiteral("gedit"),    QStringLiteral("gnome-text-editor"), QStringLiteral("mousepad"),
        QStringLiteral("kate"),     QStringLiteral("kwrite"),            QStringLiteral("xed"),
        QStringLiteral("pluma"),    QStringLiteral("featherpad"),        QStringLiteral("leafpad"),
        QStringLiteral("geany"),    QStringLiteral("gvim"),              QStringLiteral("code"),
        QStringLiteral("subl"),     QStringLiteral("notepadqq"),         QStringLiteral("xedit")};
    return l;
}
} // namespace

DetachedStarter SetDetachedStarter(DetachedStarter s)
{
    DetachedStarter old = starter();
    starter() = std::move(s);
    return old;
}

UrlOpener SetUrlOpener(UrlOpener o)
{
    UrlOpener old = opener();
    opener() = std::move(o);
    return old;
}

bool AbrirDireccionWeb(const QString& url) { return opener()(url); }

QStringList EditorCommand(const QString& file, const std::function<QString(const QString&)>& env,
                          const std::function<QString(const QString&)>& which)
{
#ifdef Q_OS_WIN
    Q_UNUSED(env);
    Q_UNUSED(which);
    return {QStringLiteral("notepad.exe"), file};
#else
    for (const char* var : {"VISUAL", "EDITOR"}) {
        // The variable may carry options ("gedit --new-window"): the first word is the program.
        QStringList words = QProcess::splitCommand(env(QString::fromLatin1(var)));
        if (words.isEmpty()) continue;
        if (!graphicalEditors().contains(QFileInfo(words.first()).fileName())) continue;
        const QString program = which(words.first());
        if (program.isEmpty()) continue;
        words.removeFirst();
        return QStringList{program} + words + QStringList{file};
    }
    const QString xdg = which(QStringLiteral("xdg-open"));
    if (!xdg.isEmpty()) return {xdg, file};
    for (const QString& e : graphicalEditors()) {
        const QString program = which(e);
        if (!program.isEmpty()) return {program, file};
    }
    return {};
#endif
}

bool AbrirEditorTexto(const QString& file)
{
    if (!QFileInfo::exists(file)) {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly)) return false;
    }
    const QStringList cmd = EditorCommand(
        QFileInfo(file).absoluteFilePath(),
        [](const QString& v) { return qEnvironmentVariable(v.toLatin1().constData()); },
        [](const QString& p) { return QStandardPaths::findExecutable(p); });
    if (cmd.isEmpty()) return false;
    return starter()(cmd.first(), cmd.mid(1));
}

} // namespace kv
