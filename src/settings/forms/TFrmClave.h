#pragma once
// The login: the user level and its password; the capture-only password can be changed
// here before logging in.
#include "settings/Login.h"
#include "settings/TConfig.h"
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

class TFrmClave : public QDialog {
    Q_OBJECT
public:
    explicit TFrmClave(QWidget* parent = nullptr);
    ~TFrmClave() override;

    bool loginAceptado() const { return aceptado_; }

    QComboBox* cbTipoUsuario = nullptr;
    QLineEdit* EdClave = nullptr;
    QPushButton* BtnIngresar = nullptr;
    QPushButton* BtnSalir = nullptr;
    QPushButton* BtnCambiarClave = nullptr;
    QWidget* PnlCambiarClave = nullptr;
    QLineEdit* EdClaveAnterior = nullptr;
    QLineEdit* EdClaveNueva = nullptr;
    QLineEdit* EdClaveVerifica = nullptr;
    QPushButton* BtnGuardar = nullptr;

public slots:
    void BtnIngresarClick();
    void BtnSalirClick();
    void cbTipoUsuarioChange(int index);
    void BtnCambiarClaveClick();
    void BtnGuardarClick();
    void reject() override;   // Esc presses "Salir"

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<kv::TConfig> config_;
    kv::Login login_;
    bool aceptado_ = false;
    bool puedeCerrar_ = false;
};
