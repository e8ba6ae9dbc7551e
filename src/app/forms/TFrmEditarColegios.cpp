#include "app/forms/TFrmEditarColegios.h"
#include "data/SiteList.h"
#include "data/TableCursor.h"
#include "settings/TConfig.h"
#include "base/forms/ErrorDisplay.h"
#include "data/forms/DBGrid.h"
#include "import/forms/TFrmImportarSitio.h"
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFrmEditarColegios::TFrmEditarColegios(const QString& tablesDir, const QString& error, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmEditarColegios"));
    setWindowTitle(QStringLiteral("Colegios"));
    setModal(true);
    resize(620, 300);
    auto* root = new QVBoxLayout(this);
    Label1 = new QLabel(kv::TextoSitioIncorrecto(tablesDir, error), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    root->addWidget(Label1);
    DBGrid1 = new kv::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    Label1->setBuddy(DBGrid1);
    root->addWidget(DBGrid1);
    BtnImportarSitio = new QPushButton(QStringLiteral("&Importar sitio anterior..."), this);
    BtnImportarSitio->setObjectName(QStringLiteral("BtnImportarSitio"));
    BtnImportarSitio->setAutoDefault(false);
    connect(BtnImportarSitio, &QPushButton::clicked, this, &TFrmEditarColegios::BtnImportarSitioClick);
    root->addWidget(BtnImportarSitio, 0, Qt::AlignLeft);

    TblColegios = new kv::TableCursor(QStringLiteral("Config"), this);
    TblColegios->setObjectName(QStringLiteral("TblColegios"));
    try {
        TblColegios->setDatabase(kv::Database::siteList());
        TblColegios->open();
        DBGrid1->setDataSet(TblColegios, {{QStringLiteral("colegio"), QStringLiteral("Alias"), 180, false},
                                          {QStringLiteral("RutaTablas"), QStringLiteral("RutaTablas"), 380, false}});
        DBGrid1->setAllowInsert(true);
        DBGrid1->horizontalHeader()->setStretchLastSection(true);
    } catch (const std::exception&) {
        kv::MostrarExcepcion();   // no site list to edit: the dialog shows an empty grid
    }
}

TFrmEditarColegios::~TFrmEditarColegios() = default;

void TFrmEditarColegios::BtnImportarSitioClick()
{
    TFrmImportarSitio dlg(this);
    dlg.exec();
    if (dlg.sitioNuevo().isEmpty() || !TblColegios->isActive()) return;
    // The new site goes into the list like a row typed into the grid.
    try {
        if (TblColegios->state() != kv::DataSetState::Browse) TblColegios->post();
        TblColegios->append();
        TblColegios->setFieldValue(QStringLiteral("colegio"), dlg.nombreNuevo());
        TblColegios->setFieldValue(QStringLiteral("RutaTablas"), dlg.sitioNuevo());
        TblColegios->post();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        if (TblColegios->state() != kv::DataSetState::Browse) TblColegios->cancel();
    }
}

void TFrmEditarColegios::done(int r)
{
    // A row still being typed is kept, as when the operator moves to another row: taking
    // the focus from the cell editor hands its text to the row first.
    if (QWidget* fw = focusWidget()) fw->clearFocus();
    try {
        if (TblColegios->isActive() && TblColegios->state() != kv::DataSetState::Browse) TblColegios->post();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        TblColegios->cancel();
    }
    if (TblColegios->isActive()) TblColegios->close();
    QDialog::done(r);
}
