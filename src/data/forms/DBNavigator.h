#pragma once
// A record navigator over a table cursor: first, prior, next, last, insert, delete, edit,
// post, cancel, refresh. Buttons are enabled as the cursor's state allows.
#include <QWidget>
#include <QPointer>

class QToolButton;

namespace kv {

class TableCursor;

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Boton { Primero, Anterior, Siguiente, Ultimo, Insertar, Borrar, Editar, Grabar, Cancelar, Refrescar };
    explicit DBNavigator(QWidget* parent = nullptr);
    void setDataSet(TableCursor* cursor);
    QToolButton* boton(Boton b) const { return botones_[b]; }

private:
    void pulsar(Boton b);
    void actualizar();
    QPointer<TableCursor> cursor_;
    QToolButton* botones_[10] = {};
};

} // namespace kv
