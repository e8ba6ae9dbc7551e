#include "data/forms/DBNavigator.h"
#include "base/forms/ErrorDisplay.h"
#include "data/TableCursor.h"
#include "data/forms/DBGrid.h"
#include "base/Messages.h"
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace kv {

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    static const char* const hints[] = {"Primero", "Anterior", "Siguiente", "Ultimo", "Insertar",
                                        "Borrar", "Editar", "Grabar", "Cancelar edición", "Refrescar"};
    static const char* const textos[] = {"|<", "<", ">", ">|", "+", "-", "^", "\u2713", "x", "\u21bb"};
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    for (int i = 0; i < 10; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("btn") + QString::fromUtf8(hints[i]).remove(QLatin1Char(' ')));
        b->setText(QString::fromUtf8(textos[i]));
        b->setToolTip(QString::fromUtf8(hints[i]));
        b->setAccessibleName(QString::fromUtf8(hints[i]));
        connect(b, &QToolButton::clicked, this, [this, i] { pulsar(Boton(i)); });
        lay->addWidget(b);
        botones_[i] = b;
    }
    lay->addStretch();
    actualizar();
}

void DBNavigator::setDataSet(TableCursor* c)
{
    if (cursor_) disconnect(cursor_, nullptr, this, nullptr);
    cursor_ = c;
    if (c) {
        connect(c, &TableCursor::stateChanged, this, &DBNavigator::actualizar);
        connect(c, &TableCursor::dataChanged, this, [this] { actualizar(); });
        connect(c, &TableCursor::rowsReset, this, &DBNavigator::actualizar);
    }
    actualizar();
}

void DBNavigator::pulsar(Boton b)
{
    if (!cursor_ || !cursor_->isActive()) return;
    // A button takes no focus from a cell being typed in a grid of the same table: its value
    // goes into the row first ("Grabar" stores it), unless the edit is being cancelled.
    if (b != Cancelar)
        for (DBGrid* g : window()->findChildren<DBGrid*>())
            if (g->dataSet() == cursor_ && !g->commitOpenEditor()) return;
    TableCursor& c = *cursor_;
    try {
        switch (b) {
        case Primero: c.first(); break;
        case Anterior: c.prior(); break;
        case Siguiente: c.next(); break;
        case Ultimo: c.last(); break;
        case Insertar: c.append(); break;
        case Borrar:
            if (!c.isEmpty() && Messages::instance().askYesNo(QStringLiteral("¿Borrar el registro?"), QString()))
                c.deleteRecord();
            break;
        case Editar: c.edit(); break;
        case Grabar: c.post(); break;
        case Cancelar: c.cancel(); break;
        case Refrescar: c.refresh(); break;
        }
    } catch (const std::exception&) {
        MostrarExcepcion();
    }
    actualizar();
}

void DBNavigator::actualizar()
{
    const bool activo = cursor_ && cursor_->isActive();
    const bool editando = activo && cursor_->state() != DataSetState::Browse;
    const bool hayFilas = activo && !cursor_->isEmpty();
    const bool alInicio = !hayFilas || cursor_->bof() || cursor_->recNo() <= 1;
    const bool alFinal = !hayFilas || cursor_->eof() || cursor_->recNo() >= cursor_->recordCount();
    botones_[Primero]->setEnabled(activo && !editando && !alInicio);
    botones_[Anterior]->setEnabled(activo && !editando && !alInicio);
    botones_[Siguiente]->setEnabled(activo && !editando && !alFinal);
    botones_[Ultimo]->setEnabled(activo && !editando && !alFinal);
    botones_[Insertar]->setEnabled(activo && !editando);
    botones_[Borrar]->setEnabled(hayFilas && !editando);
    botones_[Editar]->setEnabled(hayFilas && !editando);
    botones_[Grabar]->setEnabled(editando);
    botones_[Cancelar]->setEnabled(editando);
    botones_[Refrescar]->setEnabled(activo && !editando);
}

} // namespace kv
