#include "register/forms/TFrmAddGrupo.h"
#include "base/forms/ErrorDisplay.h"
#include "base/DebeCorregir.h"
#include "data/TDM.h"
#include "register/Groups.h"
#include "base/Messages.h"
#include <QLineEdit>
#include <QPushButton>

TFrmAddGrupo::TFrmAddGrupo(QWidget* parent, const QString& grado) : TFrmGrupoBase(parent), grado_(grado)
{
    setObjectName(QStringLiteral("FrmAddGrupo"));
    setWindowTitle(QStringLiteral("Adicionar grupo"));
    if (grado_.isEmpty() && kv::DM && kv::DM->TblAbaGrados->isActive())
        grado_ = kv::DM->TblAbaGrados->fieldByName(QStringLiteral("IGrado")).asString();
    EdIGrado->setText(grado_);
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmAddGrupo::BtnAceptarClick);
    EdIGrupo->setFocus();
}

void TFrmAddGrupo::BtnAceptarClick()
{
    kv::Messages& msgs = kv::Messages::instance();
    try {
        const int grado = grado_.toInt();
        // Blanks around a code would make "A " a group apart from "A".
        const QString grupo = EdIGrupo->text().trimmed();
        const QString errores = kv::ValidarGrupoNuevo(kv::TablesDir(), grado, grupo);
        if (!errores.isEmpty()) {
            msgs.showMessage(kv::DebeCorregir(errores));
            return;
        }
        kv::AdicionarGrupo(*kv::DM->TblGrupos, grado, grupo, EdNDirector->text(), EdMensaje->text());
        msgs.showMessage(QStringLiteral("Grupo adicionado."));
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}
