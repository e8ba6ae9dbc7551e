#pragma once
// What the add and modify person dialogs share: the boxes of a person's data, the way a
// labelled box is placed, and reading the boxes into a person's data.
#include "register/Persons.h"
#include <QDialog>
#include <QGridLayout>
#include <QLabel>

class QDateEdit;
class QLineEdit;

class TFrmPersonaBase : public QDialog {
    Q_OBJECT
public:
    QLineEdit* EdNEstudiante = nullptr;
    QLineEdit* EdNumMatr = nullptr;
    QLineEdit* edDocIdent = nullptr;
    QLineEdit* edSitSocial = nullptr;
    QLineEdit* edNumCarnet = nullptr;
    QLineEdit* edRH = nullptr;
    QLineEdit* edIdFoto = nullptr;
    QDateEdit* dtpFechaNac = nullptr;
    QLineEdit* edCodigo = nullptr;

protected:
    explicit TFrmPersonaBase(QWidget* parent) : QDialog(parent) {}

    // Places `w` with its label (its buddy) on a row of the grid and names it.
    template <typename W>
    W* campo(QGridLayout* g, int row, const QString& etiqueta, W* w, const char* name)
    {
        auto* l = new QLabel(etiqueta, this);
        w->setObjectName(QString::fromLatin1(name));
        l->setBuddy(w);
        g->addWidget(l, row, 0);
        g->addWidget(w, row, 1);
        return w;
    }

    // The shared boxes; a date picker showing its blank special value means no date.
    kv::PersonaDatos leerComunes() const;
    // Each shared box takes no more than its field of estudiantes holds.
    void limitarComunes();
};
