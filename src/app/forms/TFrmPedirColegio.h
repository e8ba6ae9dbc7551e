#pragma once
// The choice of the site to work on, shown once at start-up.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
namespace kv { class TDM; }

class TFrmPedirColegio : public QDialog {
    Q_OBJECT
public:
    // Fills the list from Config.DB and preselects the remembered position.
    explicit TFrmPedirColegio(QWidget* parent = nullptr);

    QComboBox* cbColegios = nullptr;
    QLabel* LblSinSitios = nullptr;       // shown while the list is empty
    QPushButton* BtnNuevoSitio = nullptr;
    QPushButton* BtnSeleccionar = nullptr;
    QPushButton* BtnCancelar = nullptr;

public slots:
    void BtnSeleccionarClick();
    void BtnCancelarClick();
    // A new site (TFrmNuevoSitio); once added it is in the list and chosen.
    void BtnNuevoSitioClick();

private:
    // Fills the list from Config.DB and selects `pos` (nothing when outside the list).
    void llenarLista(int pos);
};

namespace kv {

// Creating the data module at start-up: the site choice, then the opening of the chosen
// site's tables. With a quit request pending nothing is opened. When the tables cannot
// be opened the error is shown, then the site-list editor, then the program ends
// (quit request, tables directory emptied).
void ElegirSitioYAbrirTablas(TDM& dm);

} // namespace kv
