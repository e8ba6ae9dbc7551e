#include "settings/IniFile.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace kv {

namespace {
QString iniPath() { return QDir::current().filePath(IniFileName()); }

QStringList readLines(const QString& path = QString())
{
    QFile f(path.isEmpty() ? iniPath() : path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLocal8Bit(f.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool isSection(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']'))) return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

// Key of a "key=value" line (empty for anything else).
QString keyOf(const QString& line, QString* value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || line.trimmed().startsWith(QLatin1Char(';'))) return QString();
    *value = line.mid(eq + 1).trimmed();
    return line.left(eq).trimmed();
}
} // namespace

QString LeerIni(const QString& section, const QString& key, const QString& def)
{
    return LeerIniDe(QString(), section, key, def);
}

QString LeerIniDe(const QString& path, const QString& section, const QString& key, const QString& def)
{
    bool inSection = false;
    for (const QString& line : readLines(path)) {
        QString name, value;
        if (isSection(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && keyOf(line, &value).compare(key, Qt::CaseInsensitive) == 0) return value;
    }
    return def;
}

bool EscribirIni(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = readLines();
    int sectionLine = -1;
    int insertAt = -1;   // end of the section (after its last non-empty line)
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name, v;
        if (isSection(lines[i], &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && sectionLine < 0) { sectionLine = i; insertAt = i + 1; }
            continue;
        }
        if (!inSection) continue;
        if (keyOf(lines[i], &v).compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = key + QLatin1Char('=') + value;
            sectionLine = -2;   // done
            break;
        }
        if (!lines[i].trimmed().isEmpty()) insertAt = i + 1;
    }
    if (sectionLine >= 0) {
        lines.insert(insertAt, key + QLatin1Char('=') + value);
    } else if (sectionLine == -1) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + value;
    }
    QSaveFile f(iniPath());
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(lines.join(QStringLiteral("\r\n")).toLocal8Bit() + "\r\n");
    return f.commit();
}

int LeerAliasColegio()
{
    bool ok = false;
    const int n = LeerIni(QStringLiteral("ACTION"), QStringLiteral("AliasColegio"), QStringLiteral("0")).toInt(&ok);
    return ok ? n : 0;
}

bool EscribirAliasColegio(int posicion)
{
    return EscribirIni(QStringLiteral("ACTION"), QStringLiteral("AliasColegio"), QString::number(posicion));
}

} // namespace kv
