#include "register/forms/GroupDialogForm.h"
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

GroupDialogWidgets buildGroupDialog(QDialog* dlg)
{
    GroupDialogWidgets w{};
    auto* grid = new QGridLayout(dlg);
    auto row = [&](int r, const QString& caption, const char* name) {
        auto* lbl = new QLabel(caption, dlg);
        auto* ed = new QLineEdit(dlg);
        ed->setObjectName(QString::fromLatin1(name));
        lbl->setBuddy(ed);
        grid->addWidget(lbl, r, 0);
        grid->addWidget(ed, r, 1);
        return ed;
    };
    w.grado = row(0, QStringLiteral("Grado:"), "EdIGrado");
    w.grupo = row(1, QStringLiteral("Grupo:"), "EdIGrupo");
    w.director = row(2, QStringLiteral("Director:"), "EdNDirector");
    w.mensaje = row(3, QStringLiteral("Mensaje:"), "EdMensaje");
    w.grado->setEnabled(false);
    w.grupo->setMaxLength(2);      // the width of IGrupo
    w.director->setMaxLength(40);  // the width of IProfesor
    // Room for a whole director's name at a glance.
    w.director->setMinimumWidth(w.director->fontMetrics().averageCharWidth() * 36);
    w.mensaje->setMaxLength(12);
    auto* buttons = new QHBoxLayout;
    w.aceptar = new QPushButton(QStringLiteral("&Aceptar"), dlg);
    w.aceptar->setObjectName(QStringLiteral("BtnAceptar"));
    w.aceptar->setDefault(true);
    w.salir = new QPushButton(QStringLiteral("&Salir"), dlg);
    w.salir->setObjectName(QStringLiteral("BtnSalir"));
    w.salir->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(w.aceptar);
    buttons->addWidget(w.salir);
    grid->addLayout(buttons, 4, 0, 1, 2);
    QObject::connect(w.salir, &QPushButton::clicked, dlg, &QDialog::reject);
    return w;
}
