#include "register/forms/TFrmCambiarDeGrupo.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/BotonesDialogo.h"
#include "data/TDM.h"
#include "register/Persons.h"
#include "register/forms/LlenarComboBox.h"
#include "base/Messages.h"
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kBodega = QStringLiteral("-99");
}

TFrmCambiarDeGrupo::TFrmCambiarDeGrupo(int gradoOrigen, const QString& grupoOrigen, const QString& codigo,
                                       QWidget* parent)
    : QDialog(parent), gradoOrigen_(gradoOrigen), grupoOrigen_(grupoOrigen), codigo_(codigo)
{
    setObjectName(QStringLiteral("FrmCambiarDeGrupo"));
    setWindowTitle(QStringLiteral("Cambiar de grupo a un estudiante"));
    auto* root = new QVBoxLayout(this);

    lblNEstudiante = new QLabel(this);
    lblNEstudiante->setObjectName(QStringLiteral("lblNEstudiante"));
    QFont f = lblNEstudiante->font();
    f.setBold(true);
    lblNEstudiante->setFont(f);
    root->addWidget(lblNEstudiante);

    auto* cajas = new QHBoxLayout;
    auto* origen = new QGroupBox(QStringLiteral("Ubicación original:"), this);
    origen->setObjectName(QStringLiteral("GBOrigen"));
    auto* go = new QGridLayout(origen);
    lblGrado = new QLabel(origen);
    lblGrado->setObjectName(QStringLiteral("lblGrado"));
    lblGrupo = new QLabel(origen);
    lblGrupo->setObjectName(QStringLiteral("lblGrupo"));
    go->addWidget(new QLabel(QStringLiteral("Grado:"), origen), 0, 0);
    go->addWidget(lblGrado, 0, 1);
    go->addWidget(new QLabel(QStringLiteral("Grupo:"), origen), 1, 0);
    go->addWidget(lblGrupo, 1, 1);
    cajas->addWidget(origen);

    auto* destino = new QGroupBox(QStringLiteral("Nueva ubicación:"), this);
    destino->setObjectName(QStringLiteral("GBDestino"));
    auto* gd = new QGridLayout(destino);
    CBGradoDestino = new QComboBox(destino);
    CBGradoDestino->setObjectName(QStringLiteral("CBGradoDestino"));
    CBGradoDestino->setMaxVisibleItems(12);
    CBGrupoDestino = new QComboBox(destino);
    CBGrupoDestino->setObjectName(QStringLiteral("CBGrupoDestino"));
    auto* lg = new QLabel(QStringLiteral("Grado:"), destino);
    lg->setBuddy(CBGradoDestino);
    auto* lgr = new QLabel(QStringLiteral("Grupo:"), destino);
    lgr->setBuddy(CBGrupoDestino);
    gd->addWidget(lg, 0, 0);
    gd->addWidget(CBGradoDestino, 0, 1);
    gd->addWidget(lgr, 1, 0);
    gd->addWidget(CBGrupoDestino, 1, 1);
    cajas->addWidget(destino);
    root->addLayout(cajas);

    auto* linea1 = new QLabel(QStringLiteral("El grado -99 es \"La bodega\", donde se envian los estudiantes que se retiran"), this);
    linea1->setObjectName(QStringLiteral("Label5"));
    auto* linea2 = new QLabel(QStringLiteral("con el fin de no perder su información personal"), this);
    linea2->setObjectName(QStringLiteral("Label6"));
    root->addWidget(linea1);
    root->addWidget(linea2);

    const kv::BotonesDialogo botones =
        kv::CrearBotonesDialogo(this, QStringLiteral("&Cancelar"), QStringLiteral("BtnCancelar"), false);
    BtnAceptar = botones.aceptar;
    BtnCancelar = botones.cerrar;
    root->addWidget(botones.caja);

    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmCambiarDeGrupo::BtnAceptarClick);

    lblGrado->setText(QString::number(gradoOrigen_));
    lblGrupo->setText(grupoOrigen_);
    if (kv::DM && kv::DM->TblEstudiantes->isActive())
        lblNEstudiante->setText(kv::DM->TblEstudiantes->fieldByName(QStringLiteral("nestudiante")).asString());

    // Destinations: every category in key order, as the categories grid lists them,
    // then the store for persons who leave.
    kv::LeerCategoriasDestino(kv::TablesDir(), Query1);
    LlenarComboBox(CBGradoDestino, Query1, QStringLiteral("IGrado"));
    if (CBGradoDestino->findText(kBodega) < 0) CBGradoDestino->addItem(kBodega);
    CBGradoDestino->setCurrentIndex(0);
    CBGradoDestinoChange();
    connect(CBGradoDestino, &QComboBox::currentIndexChanged, this, &TFrmCambiarDeGrupo::CBGradoDestinoChange);
}

void TFrmCambiarDeGrupo::CBGradoDestinoChange()
{
    CBGrupoDestino->clear();
    kv::LeerGruposDestino(kv::TablesDir(), Query1, CBGradoDestino->currentText().toInt());
    LlenarComboBox(CBGrupoDestino, Query1, QStringLiteral("IGrupo"));
    if (CBGrupoDestino->count() > 0) CBGrupoDestino->setCurrentIndex(0);
}

void TFrmCambiarDeGrupo::BtnAceptarClick()
{
    auto& msg = kv::Messages::instance();
    const int gradoDestino = CBGradoDestino->currentText().toInt();
    const QString grupoDestino = CBGrupoDestino->currentText();
    try {
        if (gradoDestino == gradoOrigen_ && grupoDestino == grupoOrigen_) {
            msg.showMessage(QStringLiteral("El estudiante continúa en el mismo grado y grupo."));
        } else if (msg.askYesNo(QStringLiteral("Confirmar"),
                                kv::TextoConfirmarCambio(gradoOrigen_, grupoOrigen_, gradoDestino, grupoDestino),
                                kv::MsgIcon::Warning)) {
            kv::CambiarDeGrupo(kv::TablesDir(), codigo_, gradoOrigen_, grupoOrigen_, gradoDestino, grupoDestino);
        }
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
    // Whatever happened, the list shows the main window's group again, read anew.
    try {
        if (kv::DM && kv::DM->TblEstudiantes->isActive()) kv::DM->TblEstudiantes->refresh();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
    accept();
}
