#include "register/forms/TFrmGrupoBase.h"
#include "base/forms/BotonesDialogo.h"
#include "data/forms/FieldLimits.h"
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmGrupoBase::TFrmGrupoBase(QWidget* parent) : QDialog(parent)
{
    auto* grid = new QGridLayout(this);
    auto row = [&](int r, const QString& caption, const char* name) {
        auto* lbl = new QLabel(caption, this);
        auto* ed = new QLineEdit(this);
        ed->setObjectName(QString::fromLatin1(name));
        lbl->setBuddy(ed);
        grid->addWidget(lbl, r, 0);
        grid->addWidget(ed, r, 1);
        return ed;
    };
    EdIGrado = row(0, QStringLiteral("Grado:"), "EdIGrado");
    EdIGrupo = row(1, QStringLiteral("Grupo:"), "EdIGrupo");
    EdNDirector = row(2, QStringLiteral("Director:"), "EdNDirector");
    EdMensaje = row(3, QStringLiteral("Mensaje:"), "EdMensaje");
    EdIGrado->setEnabled(false);
    kv::LimitarAlCampo(EdIGrupo, QStringLiteral("grupos"), QStringLiteral("IGrupo"));
    kv::LimitarAlCampo(EdNDirector, QStringLiteral("grupos"), QStringLiteral("IProfesor"));
    // Room for a whole director's name at a glance.
    EdNDirector->setMinimumWidth(EdNDirector->fontMetrics().averageCharWidth() * 36);
    kv::LimitarAlCampo(EdMensaje, QStringLiteral("grupos"), QStringLiteral("Mensaje"));
    const kv::BotonesDialogo botones =
        kv::CrearBotonesDialogo(this, QStringLiteral("&Salir"), QStringLiteral("BtnSalir"), true);
    BtnAceptar = botones.aceptar;
    BtnSalir = botones.cerrar;
    grid->addWidget(botones.caja, 4, 0, 1, 2);
}
