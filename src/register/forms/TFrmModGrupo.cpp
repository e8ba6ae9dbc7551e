#include "register/forms/TFrmModGrupo.h"
#include "base/forms/ErrorDisplay.h"
#include "base/DebeCorregir.h"
#include "data/TDM.h"
#include "register/Groups.h"
#include "base/Messages.h"
#include <QLineEdit>
#include <QPushButton>

TFrmModGrupo::TFrmModGrupo(QWidget* parent, const QString& grado, const QString& grupo)
    : TFrmGrupoBase(parent), grado_(grado), grupo_(grupo)
{
    setObjectName(QStringLiteral("FrmModGrupo"));
    setWindowTitle(QStringLiteral("FrmModGrupo"));
    EdIGrado->setText(grado_);
    EdIGrupo->setText(grupo_);
    EdIGrupo->setEnabled(false);
    kv::TableCursor* g = kv::DM ? kv::DM->TblGrupos : nullptr;
    if (g && g->isActive() && !grupo_.isEmpty()) {
        EdNDirector->setText(g->fieldByName(QStringLiteral("IProfesor")).asString());
        EdMensaje->setText(g->fieldByName(QStringLiteral("Mensaje")).asString());
    }
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmModGrupo::BtnAceptarClick);
    EdNDirector->setFocus();
}

void TFrmModGrupo::BtnAceptarClick()
{
    kv::Messages& msgs = kv::Messages::instance();
    if (grupo_.isEmpty()) {
        msgs.showMessage(kv::DebeCorregir(QStringLiteral("Coloque un código de grupo válido \n")));
        return;
    }
    try {
        kv::ModificarGrupo(*kv::DM->TblGrupos, grado_.toInt(), grupo_, EdNDirector->text(), EdMensaje->text());
        msgs.showMessage(QStringLiteral("Grupo modificado."));
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}
