#include "register/forms/TFrmFusionar.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/BotonesDialogo.h"
#include "base/forms/TFrmAviso.h"
#include "data/TDM.h"
#include "register/Merge.h"
#include "register/forms/LlenarComboBox.h"
#include "base/Messages.h"
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TFrmFusionar::TFrmFusionar(QWidget* parent, int grado) : QDialog(parent), grado_(grado)
{
    setObjectName(QStringLiteral("FrmFusionar"));
    setWindowTitle(QStringLiteral("FrmFusionar"));
    auto* grid = new QGridLayout(this);
    LblGrado = new QLabel(this);
    LblGrado->setObjectName(QStringLiteral("LblGrado"));
    grid->addWidget(LblGrado, 0, 0, 1, 2);
    auto combo = [&](int r, const QString& caption, const char* name) {
        auto* lbl = new QLabel(caption, this);
        auto* cb = new QComboBox(this);
        cb->setObjectName(QString::fromLatin1(name));
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
        lbl->setBuddy(cb);
        grid->addWidget(lbl, r, 0);
        grid->addWidget(cb, r, 1);
        return cb;
    };
    CBGrupoOrigen = combo(1, QStringLiteral("Pasar los estudiantes del grupo:"), "CBGrupoOrigen");
    CBGrupoDestino = combo(2, QStringLiteral("Al grupo:"), "CBGrupoDestino");
    const kv::BotonesDialogo botones =
        kv::CrearBotonesDialogo(this, QStringLiteral("&Cancelar"), QStringLiteral("BtnCancelar"), true);
    BtnAceptar = botones.aceptar;
    BtnCancelar = botones.cerrar;
    grid->addWidget(botones.caja, 3, 0, 1, 2);
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmFusionar::BtnAceptarClick);

    // Both lists offer the groups of the category as the groups table is filtered; by
    // default the second group is merged into the first.
    if (kv::DM && kv::DM->TblGrupos->isActive()) {
        try {
            LlenarComboBox(CBGrupoOrigen, *kv::DM->TblGrupos, QStringLiteral("IGrupo"));
            LlenarComboBox(CBGrupoDestino, *kv::DM->TblGrupos, QStringLiteral("IGrupo"));
        } catch (const std::exception&) {
            kv::MostrarExcepcion();
        }
    }
    if (CBGrupoDestino->count() >= 1 && CBGrupoOrigen->count() > 1) CBGrupoOrigen->setCurrentIndex(1);
    LblGrado->setText(QStringLiteral("GRADO=") + QString::number(grado_));
}

void TFrmFusionar::BtnAceptarClick()
{
    const QString origen = CBGrupoOrigen->currentText().trimmed();
    const QString destino = CBGrupoDestino->currentText().trimmed();
    QString error;
    try {
        error = kv::ValidarFusion(kv::TablesDir(), grado_, origen, destino);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (!error.isEmpty()) {
        kv::Messages::instance().showMessage(error);
        return;
    }
    TFrmAviso::Mostrar(QStringLiteral("Por favor espere..."));
    try {
        kv::FusionarGrupos(kv::TablesDir(), grado_, origen, destino, [](const QString& t) { TFrmAviso::PonerMensaje(t); });
    } catch (const std::exception&) {
        // Nothing was changed: the merge runs as one transaction.
        TFrmAviso::Cerrar();
        kv::MostrarExcepcion();
        return;
    }
    TFrmAviso::Cerrar();
    accept();
}
