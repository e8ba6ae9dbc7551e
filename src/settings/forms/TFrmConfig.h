#pragma once
// The options of the site: report headers, shift, logo, administrator's password and the
// hour of the automatic exits, edited in the site's Config row.
#include <QDialog>
#include <QDateTime>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimeEdit;
namespace kv { class TableCursor; }

class TFrmConfig : public QDialog {
    Q_OBJECT
public:
    // Opens the Config table of the tables directory; a table that cannot be opened
    // raises DbError (the caller shows it and the dialog is not shown).
    explicit TFrmConfig(QWidget* parent = nullptr);
    ~TFrmConfig() override;

    // Shows the logo warning when the picture cannot be loaded; call before exec().
    void MostrarEscudo();

    // Picks a picture file (the open-picture dialog; tests replace it). "" = none picked.
    std::function<QString(QWidget*)> escogerImagen;

    kv::TableCursor* TblConfig = nullptr;
    QTabWidget* pgConfig = nullptr;
    QLabel* ImgEscudo = nullptr;
    QLineEdit* EdNColegio = nullptr;
    QLineEdit* EdJornada = nullptr;
    QLineEdit* EdRutaEscudo = nullptr;
    QPushButton* BtnBuscarEscudo = nullptr;
    QLineEdit* EdEncabezado1 = nullptr;
    QLineEdit* EdEncabezado2 = nullptr;
    QLineEdit* EdClave = nullptr;
    QLineEdit* EdClave2 = nullptr;
    QLabel* LblHoraSalidaAuto = nullptr;
    QTimeEdit* dtpHoraSalidaAuto = nullptr;
    QComboBox* cbFormatoPlanilla = nullptr;      // layout of the group lists (1 or 2)
    QCheckBox* chkIncluirCancelados = nullptr;   // lists include cancelled persons
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnSalir = nullptr;

public slots:
    void BtnBuscarEscudoClick();
    void BtnAceptarClick();

protected:
    void done(int r) override;

private:
    bool cargarEscudo(const QString& ruta);
    QDateTime horaLeida_;   // the stored value, whose date part is kept
};
