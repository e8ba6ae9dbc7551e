#pragma once
// A box that writes a field of a site's table takes no more characters than the field holds.
// Characters as a reader counts them: an emoji with its skin tone, a flag or a letter with a
// combining accent is one, and is kept or dropped whole.
#include "data/Schema.h"
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>

namespace kv {

// Positions where each character of `s` ends (the first element is 0).
inline QVector<int> LimitesDeCaracteres(const QString& s)
{
    QVector<int> b{0};
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, s);
    while (f.toNextBoundary() != -1)
        if (f.position() > 0) b << f.position();
    return b;
}

class LimiteDeCaracteres : public QValidator {
public:
    LimiteDeCaracteres(int ancho, QObject* parent) : QValidator(parent), ancho_(ancho) {}
    int ancho() const { return ancho_; }
    State validate(QString& input, int& pos) const override
    {
        const QVector<int> b = LimitesDeCaracteres(input);
        const int sobran = int(b.size()) - 1 - ancho_;
        if (sobran <= 0) return Acceptable;
        // The characters just typed or pasted (those before the cursor) are the ones that
        // do not fit, as in a box that is full.
        int antes = 0;
        while (antes + 1 < b.size() && b[antes + 1] <= pos) ++antes;
        if (antes >= sobran) {
            input.remove(b[antes - sobran], b[antes] - b[antes - sobran]);
            pos = b[antes - sobran];
        } else {
            input.truncate(b[ancho_]);
            pos = qMin(pos, int(input.size()));
        }
        return Acceptable;
    }

private:
    int ancho_;
};

inline void LimitarLargo(QLineEdit* box, int ancho)
{
    box->setValidator(new LimiteDeCaracteres(ancho, box));
}

inline void LimitarAlCampo(QLineEdit* box, const QString& table, const QString& field)
{
    if (const int w = fieldWidth(table, field); w > 0) LimitarLargo(box, w);
}

} // namespace kv
