#include "settings/forms/TFrmClave.h"
#include "data/forms/FieldLimits.h"
#include "base/forms/ErrorDisplay.h"
#include "platform/QuitRequest.h"
#include "base/Messages.h"
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* passwordBox(const char* name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // one "*" per character
    return e;
}
} // namespace

TFrmClave::TFrmClave(QWidget* parent)
    : QDialog(parent), config_(std::make_unique<kv::TConfig>()),
      login_(config_->clave(), config_->claveConsultor())
{
    // A broken settings row is not shown here: the main window, which opens the login,
    // has shown it already, and once is enough.
    setObjectName(QStringLiteral("FrmClave"));
    setWindowTitle(QStringLiteral("Verificación de usuario"));
    setModal(true);
    auto* root = new QVBoxLayout(this);

    auto* tipo = new QGroupBox(QStringLiteral("Tipo de usuario"), this);
    tipo->setObjectName(QStringLiteral("GbTipoUsuario"));
    auto* tl = new QVBoxLayout(tipo);
    cbTipoUsuario = new QComboBox(tipo);
    cbTipoUsuario->setObjectName(QStringLiteral("cbTipoUsuario"));
    cbTipoUsuario->addItems({QStringLiteral("Capturar entradas y salidas"), QStringLiteral("Administrador")});
    cbTipoUsuario->setCurrentIndex(0);
    cbTipoUsuario->setAccessibleName(QStringLiteral("Tipo de usuario"));
    tl->addWidget(cbTipoUsuario);
    root->addWidget(tipo);

    auto* claveRow = new QHBoxLayout;
    auto* lblClave = new QLabel(QStringLiteral("Ingrese  su clave:"), this);
    lblClave->setObjectName(QStringLiteral("LblClave"));
    EdClave = passwordBox("EdClave", this);
    lblClave->setBuddy(EdClave);
    claveRow->addWidget(lblClave);
    claveRow->addWidget(EdClave, 1);
    root->addLayout(claveRow);

    auto* buttons = new QHBoxLayout;
    BtnCambiarClave = new QPushButton(QStringLiteral("&Cambiar contraseña"), this);
    BtnCambiarClave->setObjectName(QStringLiteral("BtnCambiarClave"));
    BtnCambiarClave->setAutoDefault(false);
    BtnIngresar = new QPushButton(QStringLiteral("Ingresar"), this);
    BtnIngresar->setObjectName(QStringLiteral("BtnIngresar"));
    BtnIngresar->setDefault(true);
    BtnSalir = new QPushButton(QStringLiteral("Salir"), this);
    BtnSalir->setObjectName(QStringLiteral("BtnSalir"));
    BtnSalir->setAutoDefault(false);
    buttons->addWidget(BtnCambiarClave);
    buttons->addStretch();
    buttons->addWidget(BtnIngresar);
    buttons->addWidget(BtnSalir);
    root->addLayout(buttons);

    PnlCambiarClave = new QGroupBox(this);
    PnlCambiarClave->setObjectName(QStringLiteral("PnlCambiarClave"));
    auto* form = new QFormLayout(PnlCambiarClave);
    EdClaveAnterior = passwordBox("EdClaveAnterior", PnlCambiarClave);
    EdClaveNueva = passwordBox("EdClaveNueva", PnlCambiarClave);
    EdClaveVerifica = passwordBox("EdClaveVerifica", PnlCambiarClave);
    for (QLineEdit* e : {EdClaveAnterior, EdClaveNueva, EdClaveVerifica})
        kv::LimitarAlCampo(e, QStringLiteral("Config"), QStringLiteral("claveConsultor"));
    form->addRow(QStringLiteral("Contraseña anterior:"), EdClaveAnterior);
    form->addRow(QStringLiteral("Nueva contraseña:"), EdClaveNueva);
    form->addRow(QStringLiteral("Verifique contraseña:"), EdClaveVerifica);
    BtnGuardar = new QPushButton(QStringLiteral("&Guardar"), PnlCambiarClave);
    BtnGuardar->setObjectName(QStringLiteral("BtnGuardar"));
    BtnGuardar->setAutoDefault(false);
    form->addRow(QString(), BtnGuardar);
    PnlCambiarClave->setVisible(false);
    root->addWidget(PnlCambiarClave);
    // Enter in the change boxes saves the change; it must never count as a login attempt.
    for (QLineEdit* e : {EdClaveAnterior, EdClaveNueva, EdClaveVerifica}) e->installEventFilter(this);

    connect(BtnIngresar, &QPushButton::clicked, this, &TFrmClave::BtnIngresarClick);
    connect(BtnSalir, &QPushButton::clicked, this, &TFrmClave::BtnSalirClick);
    connect(cbTipoUsuario, qOverload<int>(&QComboBox::currentIndexChanged), this, &TFrmClave::cbTipoUsuarioChange);
    connect(BtnCambiarClave, &QPushButton::clicked, this, &TFrmClave::BtnCambiarClaveClick);
    connect(BtnGuardar, &QPushButton::clicked, this, &TFrmClave::BtnGuardarClick);
    EdClave->setFocus();
}

TFrmClave::~TFrmClave() = default;

void TFrmClave::showEvent(QShowEvent* e)
{
    // The count starts when the dialog opens, not at each activation: the message box of
    // a wrong password reactivates the dialog and would otherwise reset it every time.
    login_.reiniciarIntentos();
    aceptado_ = false;
    QDialog::showEvent(e);
    EdClave->setFocus();
}

void TFrmClave::closeEvent(QCloseEvent* e)
{
    // Only an accepted password or the end of the program closes the login.
    if (puedeCerrar_ || kv::QuitPending()) QDialog::closeEvent(e);
    else e->ignore();
}

bool TFrmClave::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->parent() == PnlCambiarClave) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtnGuardar->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmClave::BtnIngresarClick()
{
    const auto tipo = cbTipoUsuario->currentIndex() == 1 ? kv::TipoUsuario::Administrador : kv::TipoUsuario::Captura;
    switch (login_.ingresar(tipo, EdClave->text())) {
    case kv::Login::Resultado::Aceptado:
        puedeCerrar_ = true;
        aceptado_ = true;
        accept();
        return;
    case kv::Login::Resultado::Incorrecto:
        kv::Messages::instance().showMessage(QStringLiteral("Password Incorrecto"));
        EdClave->clear();
        break;
    case kv::Login::Resultado::Terminar:
        kv::Messages::instance().showMessage(QStringLiteral("Password Incorrecto"));
        EdClave->clear();
        BtnSalirClick();
        return;
    }
    EdClave->setFocus();
}

void TFrmClave::BtnSalirClick()
{
    kv::PostQuit();
    QDialog::reject();
}

void TFrmClave::reject()
{
    // Esc; a close by the frame comes through closeEvent and is refused there.
    BtnSalirClick();
}

void TFrmClave::cbTipoUsuarioChange(int index)
{
    BtnCambiarClave->setVisible(index == 0);
    EdClave->setFocus();
}

void TFrmClave::BtnCambiarClaveClick()
{
    PnlCambiarClave->setVisible(true);
    EdClaveAnterior->setFocus();
}

void TFrmClave::BtnGuardarClick()
{
    const QString msg = kv::ValidarCambioClave(config_->claveConsultor(), EdClaveAnterior->text(),
                                               EdClaveNueva->text(), EdClaveVerifica->text());
    if (!msg.isEmpty()) {
        kv::Messages::instance().showMessage(msg);
        return;
    }
    // Only a stored change counts; the record keeps the old value when the post failed.
    try {
        config_->setClaveConsultor(EdClaveVerifica->text());
    } catch (...) {
        kv::MostrarExcepcion();
        return;
    }
    login_.setClaveConsultor(config_->claveConsultor());
    PnlCambiarClave->setVisible(false);
    // back to the compact login, without the room the panel took
    layout()->activate();
    adjustSize();
    EdClave->setFocus();
}
