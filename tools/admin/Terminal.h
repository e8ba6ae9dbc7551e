#pragma once
// Text written to a terminal: a stored control character (an escape sequence typed into a
// name) is shown as \xHH instead of reaching the terminal, which would obey it.
#include <QString>
#include <cstdio>
#include <unistd.h>

namespace admin {

inline bool salidaEsTerminal() { return isatty(fileno(stdout)) == 1; }

// Every control character but those in `dejar` written as \xHH (\u{HHHH} beyond 0xFF).
inline QString escaparControles(const QString& s, const QString& dejar = QString())
{
    QString r;
    r.reserve(s.size());
    for (const QChar c : s) {
        if (c.category() != QChar::Other_Control || dejar.contains(c)) r += c;
        else if (c.unicode() <= 0xFF) r += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else r += QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return r;
}

} // namespace admin
