#include "app/forms/TFrmNuevoSitio.h"
#include "base/Messages.h"
#include "base/forms/ErrorDisplay.h"
#include "data/SiteList.h"
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmNuevoSitio::TFrmNuevoSitio(const QString& directorioTrabajo, QWidget* parent)
    : QDialog(parent), directorio_(directorioTrabajo)
{
    setObjectName(QStringLiteral("FrmNuevoSitio"));
    setWindowTitle(QStringLiteral("Nuevo sitio"));
    setModal(true);
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    EdNombre = new QLineEdit(this);
    EdNombre->setObjectName(QStringLiteral("EdNombre"));
    EdNombre->setMaxLength(kv::LargoNombreSitio());
    auto* lblNombre = new QLabel(QStringLiteral("&Nombre del sitio:"), this);
    lblNombre->setBuddy(EdNombre);
    form->addRow(lblNombre, EdNombre);
    EdCarpeta = new QLineEdit(this);
    EdCarpeta->setObjectName(QStringLiteral("EdCarpeta"));
    BtnExaminar = new QPushButton(QStringLiteral("&Examinar..."), this);
    BtnExaminar->setObjectName(QStringLiteral("BtnExaminar"));
    BtnExaminar->setAutoDefault(false);
    auto* carpeta = new QHBoxLayout;
    carpeta->addWidget(EdCarpeta, 1);
    carpeta->addWidget(BtnExaminar);
    auto* lblCarpeta = new QLabel(QStringLiteral("&Carpeta de las tablas:"), this);
    lblCarpeta->setBuddy(EdCarpeta);
    form->addRow(lblCarpeta, carpeta);
    root->addLayout(form);
    auto* nota = new QLabel(QStringLiteral("Si la carpeta ya tiene las tablas de un sitio, se agrega ese sitio;\n"
                                           "si no, se crean en ella las tablas vacías de un sitio nuevo."),
                            this);
    nota->setObjectName(QStringLiteral("LblNota"));
    root->addWidget(nota);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    BtnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    BtnAceptar->setObjectName(QStringLiteral("BtnAceptar"));
    BtnAceptar->setDefault(true);
    BtnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnCancelar->setObjectName(QStringLiteral("BtnCancelar"));
    BtnCancelar->setAutoDefault(false);
    botones->addWidget(BtnAceptar);
    botones->addWidget(BtnCancelar);
    root->addLayout(botones);
    setMinimumWidth(480);

    // Until the operator names a folder, the folder follows the name.
    connect(EdNombre, &QLineEdit::textEdited, this, [this](const QString& nombre) {
        if (!carpetaEscrita_) EdCarpeta->setText(kv::CarpetaSugerida(directorio_, nombre));
    });
    connect(EdCarpeta, &QLineEdit::textEdited, this, [this] { carpetaEscrita_ = true; });
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmNuevoSitio::BtnAceptarClick);
    connect(BtnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnExaminar, &QPushButton::clicked, this, &TFrmNuevoSitio::BtnExaminarClick);
}

void TFrmNuevoSitio::BtnExaminarClick()
{
    const QString desde = EdCarpeta->text().isEmpty() ? directorio_ : EdCarpeta->text();
    const QString elegida = QFileDialog::getExistingDirectory(this, QStringLiteral("Carpeta de las tablas"), desde);
    if (elegida.isEmpty()) return;
    EdCarpeta->setText(elegida);
    carpetaEscrita_ = true;
}

void TFrmNuevoSitio::BtnAceptarClick()
{
    const QString nombre = EdNombre->text().trimmed();
    const QString carpeta = EdCarpeta->text().trimmed();
    const QStringList errores = kv::ErroresNuevoSitio(directorio_, nombre, carpeta);
    if (!errores.isEmpty()) {
        kv::Messages::instance().showMessage(QStringLiteral("Debe Corregir: \n") + errores.join(QLatin1Char('\n')));
        return;
    }
    try {
        kv::AgregarSitio(directorio_, nombre, carpeta);
    } catch (...) {
        kv::MostrarExcepcion();
        return;
    }
    accept();
}
