#include "capture/forms/TFrmDentro.h"
#include "base/forms/ErrorDisplay.h"
#include "data/Database.h"
#include "data/TDM.h"
#include "capture/DentroReport.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "settings/TConfig.h"
#include "base/Clock.h"
#include <QAbstractTableModel>
#include <algorithm>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

// The rows of the list as the grid shows them: reset when the list is read again, told row
// by row when a capture moves one person, so the grid keeps its place and selection.
class DentroModel : public QAbstractTableModel, public kv::ObservadorDentro {
public:
    explicit DentroModel(const kv::ListaDentro& l, QObject* parent) : QAbstractTableModel(parent), l_(l) {}
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    void antesDeQuitar(int fila) override { beginRemoveRows({}, fila, fila); }
    void quitada() override { endRemoveRows(); }
    void antesDePoner(int fila) override { beginInsertRows({}, fila, fila); }
    void puesta() override { endInsertRows(); }
    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(l_.filas.size()); }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : 7; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char* const titulos[] = {"Código", "Nombre", "Categoría", "Grupo", "Dependencia", "Fecha", "Hora"};
        if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 7) return {};
        return QString::fromUtf8(titulos[section]);
    }
    QVariant data(const QModelIndex& i, int role) const override
    {
        if (!i.isValid() || role != Qt::DisplayRole || i.row() >= l_.filas.size()) return {};
        const kv::PersonaDentro& p = l_.filas[i.row()];
        switch (i.column()) {
        case 0: return p.codigo;
        case 1: return p.nombre;
        case 2: return p.visitante ? QStringLiteral("Visitante") : p.igrado;
        case 3: return p.igrupo;
        case 4: return p.dependencia;
        case 5: return p.fecha.toString(QStringLiteral("dd/MM/yyyy"));
        case 6: return p.hora.toString(QStringLiteral("HH:mm:ss"));
        }
        return {};
    }

private:
    const kv::ListaDentro& l_;
};

TFrmDentro::TFrmDentro(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmDentro"));
    setWindowTitle(QStringLiteral("Personas dentro ahora"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 560);

    auto* root = new QVBoxLayout(this);
    LblTotal = new QLabel(this);
    LblTotal->setObjectName(QStringLiteral("LblTotal"));
    QFont f = LblTotal->font();
    f.setPixelSize(22);
    f.setBold(true);
    LblTotal->setFont(f);
    root->addWidget(LblTotal);
    LblTotales = new QLabel(this);
    LblTotales->setObjectName(QStringLiteral("LblTotales"));
    LblTotales->setWordWrap(true);
    LblTotales->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(LblTotales);

    GrdDentro = new QTableView(this);
    GrdDentro->setObjectName(QStringLiteral("GrdDentro"));
    GrdDentro->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdDentro->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdDentro->verticalHeader()->setVisible(false);
    GrdDentro->horizontalHeader()->setStretchLastSection(true);
    model_ = new DentroModel(lista_, this);
    GrdDentro->setModel(model_);
    GrdDentro->setColumnWidth(1, 260);
    root->addWidget(GrdDentro, 1);

    auto* botones = new QHBoxLayout;
    BtnImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    BtnImprimir->setObjectName(QStringLiteral("BtnImprimir"));
    botones->addWidget(BtnImprimir);
    botones->addStretch();
    BtnCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    BtnCerrar->setObjectName(QStringLiteral("BtnCerrar"));
    botones->addWidget(BtnCerrar);
    root->addLayout(botones);
    connect(BtnCerrar, &QPushButton::clicked, this, &QWidget::close);
    connect(BtnImprimir, &QPushButton::clicked, this, &TFrmDentro::BtnImprimirClick);

    db_ = kv::Database::forDirectory(kv::TablesDir());
    connect(db_.get(), &kv::Database::tableChanged, this, &TFrmDentro::alCambiarTabla);
    connect(db_.get(), &kv::Database::resetAll, this, &TFrmDentro::refrescarLuego);
    Refrescar();
}

TFrmDentro::~TFrmDentro() = default;

void TFrmDentro::Refrescar()
{
    refrescoPedido_ = false;
    lista_ = kv::PersonasDentro(kv::TablesDir());
    mostrar();
}

void TFrmDentro::refrescarLuego()
{
    // A publication pass or a change of the register touches many rows: read once, after.
    if (refrescoPedido_) return;
    refrescoPedido_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!refrescoPedido_) return;
        try {
            Refrescar();
        } catch (const std::exception&) {
            kv::MostrarExcepcion();
        }
    });
}

void TFrmDentro::alCambiarTabla(const QString& table, const QVector<kv::RowChange>& changes)
{
    if (table == QLatin1String("estudiantes")) {
        refrescarLuego();
        return;
    }
    if (table != QLatin1String("entradassalidas")) return;
    QVector<qint64> nuevas;
    for (const kv::RowChange& c : changes) {
        // Marking rows as published changes nobody's place; removing rows may.
        if (c.op == kv::RowChange::Delete) {
            refrescarLuego();
            return;
        }
        if (c.op == kv::RowChange::Insert) nuevas << c.rowid;
    }
    if (nuevas.isEmpty()) return;
    if (nuevas.size() > 200) {
        refrescarLuego();
        return;
    }
    // A capture: only its code is read again. This runs inside the capture's own store,
    // so nothing may escape from here into it; a list that could not follow is read whole.
    try {
        kv::ActualizarDentro(lista_, kv::TablesDir(), nuevas, model_);
    } catch (const std::exception&) {
        refrescarLuego();
        return;
    }
    mostrarTotales();
}

void TFrmDentro::mostrar()
{
    mostrarTotales();
    model_->reset();
}

void TFrmDentro::mostrarTotales()
{
    LblTotal->setText(kv::TextoTotalDentro(lista_.personas, lista_.visitantes));
    QStringList partes;
    QString linea;
    for (const kv::TotalDentro& t : lista_.totales) {
        if (t.esCategoria) {
            if (!linea.isEmpty()) partes << linea;
            linea = QStringLiteral("Categoría %1: %2").arg(t.igrado).arg(t.cantidad);
        } else {
            linea += QStringLiteral("  (grupo %1: %2)").arg(t.igrupo).arg(t.cantidad);
        }
    }
    if (!linea.isEmpty()) partes << linea;
    if (lista_.fueraDelRegistro > 0) partes << QStringLiteral("Fuera del registro: %1").arg(lista_.fueraDelRegistro);
    LblTotales->setText(partes.join(QLatin1Char('\n')));
}

void TFrmDentro::BtnImprimirClick()
{
    try {
        const kv::rpt::TitleBlock t = kv::rpt::LeerTitulo();
        kv::rpt::MostrarVistaPrevia(kv::rpt::InformeDentro(t, lista_, kv::Clock::instance().now()), false, this);
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}
