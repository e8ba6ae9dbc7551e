#include "import/forms/TFrmImportarSitio.h"
#include "import/LectorFilas.h"
#include "base/Messages.h"
#include "base/forms/BotonesDialogo.h"
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFrmImportarSitio::TFrmImportarSitio(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmImportarSitio"));
    setWindowTitle(QStringLiteral("Importar sitio anterior"));
    resize(760, 520);
    auto* root = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto fila = [&](int r, const QString& etiqueta, QWidget* w, QPushButton* boton) {
        auto* l = new QLabel(etiqueta, this);
        l->setBuddy(w);
        g->addWidget(l, r, 0);
        g->addWidget(w, r, 1);
        if (boton) g->addWidget(boton, r, 2);
    };
    cbSitios = new QComboBox(this);
    cbSitios->setObjectName(QStringLiteral("cbSitios"));
    BtnListaSitios = new QPushButton(QStringLiteral("&Lista de sitios..."), this);
    BtnListaSitios->setObjectName(QStringLiteral("BtnListaSitios"));
    fila(0, QStringLiteral("Sitios &anteriores:"), cbSitios, BtnListaSitios);
    edAnterior = new QLineEdit(this);
    edAnterior->setObjectName(QStringLiteral("edAnterior"));
    BtnAnterior = new QPushButton(QStringLiteral("..."), this);
    BtnAnterior->setObjectName(QStringLiteral("BtnAnterior"));
    fila(1, QStringLiteral("&Tablas del sitio anterior:"), edAnterior, BtnAnterior);
    edNuevo = new QLineEdit(this);
    edNuevo->setObjectName(QStringLiteral("edNuevo"));
    BtnNuevo = new QPushButton(QStringLiteral("..."), this);
    BtnNuevo->setObjectName(QStringLiteral("BtnNuevo"));
    fila(2, QStringLiteral("&Directorio del sitio nuevo:"), edNuevo, BtnNuevo);
    edNombre = new QLineEdit(this);
    edNombre->setObjectName(QStringLiteral("edNombre"));
    edNombre->setMaxLength(40);
    fila(3, QStringLiteral("&Nombre en la lista:"), edNombre, nullptr);
    root->addLayout(g);

    LblEstado = new QLabel(this);
    LblEstado->setObjectName(QStringLiteral("LblEstado"));
    LblEstado->setWordWrap(true);
    root->addWidget(LblEstado);
    TblResultado = new QTableWidget(0, 5, this);
    TblResultado->setObjectName(QStringLiteral("TblResultado"));
    TblResultado->setHorizontalHeaderLabels({QStringLiteral("Tabla"), QStringLiteral("Leídas"), QStringLiteral("Escritas"),
                                             QStringLiteral("Rechazadas"), QStringLiteral("Motivos")});
    TblResultado->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblResultado->horizontalHeader()->setStretchLastSection(true);
    TblResultado->verticalHeader()->setVisible(false);
    root->addWidget(TblResultado, 1);

    const kv::BotonesDialogo b = kv::CrearBotonesDialogo(this, QStringLiteral("&Salir"), QStringLiteral("BtnSalir"), false);
    BtnAceptar = b.aceptar;
    BtnAceptar->setText(QStringLiteral("&Importar"));
    BtnSalir = b.cerrar;
    root->addWidget(b.caja);

    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmImportarSitio::BtnAceptarClick);
    connect(BtnListaSitios, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, QStringLiteral("Directorio de trabajo anterior"));
        if (!d.isEmpty()) cargarLista(d);
    });
    connect(BtnAnterior, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, QStringLiteral("Tablas del sitio anterior"), edAnterior->text());
        if (!d.isEmpty()) edAnterior->setText(d);
    });
    connect(BtnNuevo, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getSaveFileName(this, QStringLiteral("Directorio del sitio nuevo"), edNuevo->text(),
                                                       QString(), nullptr, QFileDialog::ShowDirsOnly);
        if (!d.isEmpty()) edNuevo->setText(d);
    });
    connect(cbSitios, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0 || i >= sitios_.size()) return;
        edAnterior->setText(sitios_[i].rutaTablas);
        if (edNombre->text().isEmpty()) edNombre->setText(sitios_[i].colegio);
    });
}

void TFrmImportarSitio::cargarLista(const QString& directorioTrabajo)
{
    try {
        sitios_ = kv::SitiosAnteriores(directorioTrabajo);
    } catch (const kv::ImportError& e) {
        kv::Messages::instance().showError(e.message());
        return;
    }
    // Paths of the list may be relative to that working directory.
    for (kv::SitioAnterior& s : sitios_) {
        const QString ruta = QDir::fromNativeSeparators(s.rutaTablas);
        if (QFileInfo(ruta).isRelative()) s.rutaTablas = QDir(directorioTrabajo).filePath(ruta);
    }
    cbSitios->clear();
    for (const kv::SitioAnterior& s : sitios_) cbSitios->addItem(s.colegio);
}

void TFrmImportarSitio::BtnAceptarClick()
{
    const QString viejo = edAnterior->text().trimmed(), nuevo = edNuevo->text().trimmed();
    QString faltan;
    if (viejo.isEmpty()) faltan += QStringLiteral("Elija el directorio de tablas del sitio anterior.\n");
    if (nuevo.isEmpty()) faltan += QStringLiteral("Elija el directorio del sitio nuevo.\n");
    if (!faltan.isEmpty()) {
        kv::Messages::instance().showMessage(QStringLiteral("Debe Corregir: \n") + faltan);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        r_ = kv::ImportarSitio(viejo, nuevo, [this](const QString& tabla, int n) {
            LblEstado->setText(QStringLiteral("Importando %1: %2 filas...").arg(tabla).arg(n));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        LblEstado->setText(QStringLiteral("No se creó el sitio."));
        kv::Messages::instance().showError(QString::fromUtf8(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    nuevo_ = QFileInfo(nuevo).absoluteFilePath();
    nombre_ = edNombre->text().trimmed().isEmpty() ? QFileInfo(nuevo).fileName() : edNombre->text().trimmed();
    mostrar();
    BtnAceptar->setEnabled(false);
}

void TFrmImportarSitio::mostrar()
{
    TblResultado->setRowCount(r_.tablas.size());
    int rechazadas = 0;
    for (int i = 0; i < r_.tablas.size(); ++i) {
        const kv::InformeTabla& t = r_.tablas[i];
        QStringList motivos;
        for (const kv::FilaRechazada& f : t.rechazadas) motivos << QStringLiteral("fila %1: %2").arg(f.linea).arg(f.motivo);
        if (t.archivo.isEmpty()) motivos << QStringLiteral("no está en el sitio anterior: queda vacía");
        const QStringList celdas = {t.tabla, QString::number(t.leidas), QString::number(t.escritas),
                                    QString::number(t.rechazadas.size()), motivos.join(QStringLiteral("; "))};
        for (int c = 0; c < celdas.size(); ++c) TblResultado->setItem(i, c, new QTableWidgetItem(celdas[c]));
        rechazadas += t.rechazadas.size();
    }
    LblEstado->setText(QStringLiteral("Sitio creado en %1 (%2 fotos). Filas rechazadas: %3.")
                           .arg(QDir::toNativeSeparators(nuevo_)).arg(r_.fotos).arg(rechazadas));
}
