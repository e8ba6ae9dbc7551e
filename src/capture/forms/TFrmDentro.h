#pragma once
// "Personas dentro ahora": who is inside the site at this moment, for a roll call. Not
// modal: the door keeps capturing while it is open, and the list follows every movement.
#include "capture/Dentro.h"
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTableView;
namespace kv { class Database; struct RowChange; }

class DentroModel;

class TFrmDentro : public QWidget {
    Q_OBJECT
public:
    // Reads the list of the chosen site; raises DbError when it cannot be read.
    explicit TFrmDentro(QWidget* parent = nullptr);
    ~TFrmDentro() override;

    const kv::ListaDentro& lista() const { return lista_; }
    // Reads the whole list again.
    void Refrescar();

    QLabel* LblTotal = nullptr;      // "Dentro: N personas y M visitantes"
    QLabel* LblTotales = nullptr;    // per category and group
    QTableView* GrdDentro = nullptr;
    QPushButton* BtnImprimir = nullptr;
    QPushButton* BtnCerrar = nullptr;

public slots:
    // Previews the roll call (print, PDF) as the list stands now.
    void BtnImprimirClick();

private:
    void alCambiarTabla(const QString& table, const QVector<kv::RowChange>& changes);
    void refrescarLuego();
    void mostrar();
    void mostrarTotales();

    std::shared_ptr<kv::Database> db_;
    kv::ListaDentro lista_;
    DentroModel* model_ = nullptr;
    bool refrescoPedido_ = false;
};
