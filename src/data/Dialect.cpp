#include "data/Dialect.h"
#include "data/Field.h"
#include <QRegularExpression>
#include <QVector>

namespace kv {

namespace {

struct Token {
    enum Kind { Space, Word, Number, String, Punct, Param } kind;
    QString text;   // for String: the unquoted value
};

QVector<Token> lex(const QString& s)
{
    QVector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            int j = i;
            while (j < n && s[j].isSpace()) ++j;
            out.append({Token::Space, s.mid(i, j - i)});
            i = j;
        } else if (c == '\'' || c == '"') {
            QString val;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) { val += c; j += 2; continue; }
                    closed = true;
                    ++j;
                    break;
                }
                val += s[j++];
            }
            if (!closed)
                throw DbError(QStringLiteral("Texto sin cerrar en la sentencia: %1").arg(s));
            out.append({Token::String, val});
            i = j;
        } else if (c.isLetter() || c == '_') {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == '_' || s[j] == '$')) ++j;
            out.append({Token::Word, s.mid(i, j - i)});
            i = j;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isDigit() || s[j] == '.')) ++j;
            out.append({Token::Number, s.mid(i, j - i)});
            i = j;
        } else if (c == '?') {
            out.append({Token::Param, QStringLiteral("?")});
            ++i;
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            int j = i;
            while (j < n && s[j] != '\n') ++j;
            out.append({Token::Space, QStringLiteral(" ")});
            i = j;
        } else {
            // two-character operators stay together
            const QString two = s.mid(i, 2);
            if (two == "!=" || two == "<=" || two == ">=" || two == "<>" || two == "||") {
                out.append({Token::Punct, two});
                i += 2;
            } else {
                out.append({Token::Punct, QString(c)});
                ++i;
            }
        }
    }
    return out;
}

QString quote(const QString& v)
{
    QString q = v;
    q.replace('\'', QStringLiteral("''"));
    return '\'' + q + '\'';
}

// Date and time literals of the dialect become the stored forms.
QString literal(const QString& v)
{
    static const QRegularExpression date(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
    auto m = date.match(v);
    if (m.hasMatch()) {
        const QDate d(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        if (d.isValid()) return quote(d.toString(Qt::ISODate));
    }
    m = time.match(v);
    if (m.hasMatch()) {
        const QTime t(m.captured(1).toInt(), m.captured(2).toInt(),
                      m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
        if (t.isValid()) return quote(t.toString(QStringLiteral("HH:mm:ss")));
    }
    return quote(v);
}

bool isWord(const Token& t, const char* w)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

int nextNonSpace(const QVector<Token>& t, int i)
{
    while (i < t.size() && t[i].kind == Token::Space) ++i;
    return i;
}

QString render(const QVector<Token>& t, int from, int to);

// substring(x from a for b) -> substr(x, a, b); nested uses are handled too.
QString renderSubstring(const QVector<Token>& t, int& i)
{
    // t[i] is "substring", t[open] is "("
    const int open = nextNonSpace(t, i + 1);
    int depth = 0;
    int fromPos = -1, forPos = -1, close = -1;
    for (int j = open; j < t.size(); ++j) {
        if (t[j].kind == Token::Punct && t[j].text == "(") ++depth;
        else if (t[j].kind == Token::Punct && t[j].text == ")") {
            if (--depth == 0) { close = j; break; }
        } else if (depth == 1 && isWord(t[j], "from") && fromPos < 0) fromPos = j;
        else if (depth == 1 && isWord(t[j], "for") && forPos < 0) forPos = j;
    }
    if (close < 0 || fromPos < 0) {   // not the dialect's form: leave it as it is
        QString out = t[i].text;
        ++i;
        return out;
    }
    QString out = QStringLiteral("substr(") + render(t, open + 1, fromPos).trimmed() + QStringLiteral(", ");
    if (forPos > 0)
        out += render(t, fromPos + 1, forPos).trimmed() + QStringLiteral(", ") + render(t, forPos + 1, close).trimmed();
    else
        out += render(t, fromPos + 1, close).trimmed();
    out += ')';
    i = close + 1;
    return out;
}

QString render(const QVector<Token>& t, int from, int to)
{
    QString out;
    int i = from;
    while (i < to) {
        const Token& tok = t[i];
        if (tok.kind == Token::String) {
            out += literal(tok.text);
            ++i;
        } else if (isWord(tok, "substring") && nextNonSpace(t, i + 1) < to
                   && t[nextNonSpace(t, i + 1)].text == "(") {
            out += renderSubstring(t, i);
        } else {
            out += tok.text;
            ++i;
        }
    }
    return out;
}

} // namespace

QString translateLocalSql(const QString& sql)
{
    const QVector<Token> t = lex(sql);
    return render(t, 0, t.size());
}

QString leadingKeyword(const QString& sql)
{
    const QVector<Token> t = lex(sql);
    for (const Token& tok : t) {
        if (tok.kind == Token::Space) continue;
        if (tok.kind == Token::Punct && tok.text == "(") continue;
        if (tok.kind == Token::Word) return tok.text.toUpper();
        return QString();
    }
    return QString();
}

bool returnsRows(const QString& sql)
{
    const QString k = leadingKeyword(sql);
    return k == QLatin1String("SELECT") || k == QLatin1String("WITH")
        || k == QLatin1String("VALUES") || k == QLatin1String("PRAGMA");
}

QString qualifyColumn(const QString& sqliteSql, const QString& column, const QString& alias)
{
    const QVector<Token> t = lex(sqliteSql);
    QString out;
    for (int i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.kind == Token::String) { out += quote(tok.text); continue; }
        if (tok.kind == Token::Word && tok.text.compare(column, Qt::CaseInsensitive) == 0) {
            const bool qualified = i > 0 && t[i - 1].kind == Token::Punct && t[i - 1].text == ".";
            const int nx = nextNonSpace(t, i + 1);
            const bool isCall = nx < t.size() && t[nx].text == "(";
            const bool isAliasDef = i > 0 && nextNonSpace(t, i + 1) < t.size() && t[nextNonSpace(t, i + 1)].text == ".";
            if (!qualified && !isCall && !isAliasDef) { out += alias + '.' + tok.text; continue; }
        }
        out += tok.text;
    }
    return out;
}

} // namespace kv
