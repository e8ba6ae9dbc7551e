#include "app/forms/TFrmMain.h"
#include "app/forms/ExecModal.h"
#include "app/forms/TFrmAcercaDe.h"
#include "base/forms/ErrorDisplay.h"
#include "capture/Capture.h"
#include "capture/forms/CaptureCommands.h"
#include "capture/forms/PuertaCommands.h"
#include "register/forms/PersonsCommands.h"
#include "register/forms/RegisterCommands.h"
#include "data/TDM.h"
#include "platform/Desktop.h"
#include "platform/QuitRequest.h"
#include "publish/forms/PublishCommands.h"
#include "import/forms/ImportCommands.h"
#include "reports/forms/AsistenciaCommands.h"
#include "reports/forms/ReportCommands.h"
#include "settings/IniFile.h"
#include "settings/TConfig.h"
#include "publish/Publicados.h"
#include "settings/UserLevel.h"
#include "settings/forms/Acceso.h"
#include "settings/forms/TFrmClave.h"
#include "settings/forms/TFrmConfig.h"
#include "base/Messages.h"
#include <QDir>
#include "data/forms/DBGrid.h"
#include "util/forms/SabanaCommands.h"
#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// The column widths were measured for a smaller font: never narrower than the heading.
QVector<kv::GridColumn> fitHeadings(kv::DBGrid* grid, QVector<kv::GridColumn> columns)
{
    const QHeaderView* h = grid->horizontalHeader();
    const int margin = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h) + 6;
    for (kv::GridColumn& c : columns) c.width = qMax(c.width, h->fontMetrics().horizontalAdvance(c.heading) + margin);
    return columns;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TFrmMain::TFrmMain(QWidget* parent, bool pedirClave) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Kelvora"));
    resize(930, 742);
    buildLayout();
    buildMenu();
    connectEvents();
    // Each area wires the components it owns; before the tabs and data sources below are
    // switched on, so their first change reaches the handlers.
    new CaptureCommands(*this, this);
    new RegisterCommands(*this, this);
    new PersonsCommands(*this, this);
    new kv::PublishCommands(*this, this);
    new kv::ImportCommands(*this, this);
    new ReportCommands(*this, this);
    new AsistenciaCommands(*this, this);
    new kv::SabanaCommands(*this, this);
    // The timer ticks from here on, also while the login is open.
    Timer1->start();

    {
        kv::TConfig config;
        mostrarErrorConfig(config);
        // Hint delays are set once for the application (KvApplication).
        // Decimal separator: the program writes and reads its own numbers with "." through
        // the C locale (QString::number, toInt/toDouble), whatever the desktop's regional
        // settings, and never changes the user's system-wide settings.
        if (kv::QuitPending()) return;
        LblAnio->setText(QString::number(config.anioactual()));
        EdAnio->setText(LblAnio->text());
    }
    PgGrados->setEnabled(true);
    PgEstudiantes->setEnabled(true);
    PgGrados->setCurrentIndex(0);
    PgEstudiantes->setCurrentIndex(0);
    if (pedirClave) {
        TFrmClave clave;
        kv::ExecModal(clave);
    }
    // Left at the login ("Salir", too many wrong passwords): nothing more to prepare.
    if (kv::QuitPending()) return;
    for (kv::DataSource* ds : {DSAbaGrados, DSGrupos, DSAbaMaterias, DSEstudiantes}) ds->setEnabled(true);
    modoMovimiento = QStringLiteral("E");
    // Movements already published go in batches once the window is on screen.
    kv::IniciarBorradoPublicados(kv::TablesDir());
    kv::BorrarPublicadosEnSegundoPlano(this, [] { kv::MostrarExcepcion(); });
    new PuertaCommands(*this, this);
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::buildLayout()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("PanelPrincipal"));
    central->setAutoFillBackground(true);
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));   // silver
    central->setPalette(pal);
    setCentralWidget(central);
    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);

    // ---- upper half: categories / groups, logo and year ----
    auto* upper = new QHBoxLayout;
    PgGrados = named(new QTabWidget(central), "PgGrados");
    TSGrados = named(new QWidget, "TSGrados");
    auto* lg = new QVBoxLayout(TSGrados);
    DBGrid1 = named(new kv::DBGrid(TSGrados), "DBGrid1");
    lg->addWidget(DBGrid1);
    PgGrados->addTab(TSGrados, QStringLiteral("Grados"));

    TSGrupos = named(new QWidget, "TSGrupos");
    auto* lgr = new QGridLayout(TSGrupos);
    auto* delGrado = new QLabel(QStringLiteral("Del grado:"), TSGrupos);
    LblIGradoGrupos = named(new QLabel(TSGrupos), "LblIGradoGrupos");
    auto* hdr = new QHBoxLayout;
    hdr->addWidget(delGrado);
    hdr->addWidget(LblIGradoGrupos);
    hdr->addStretch();
    lgr->addLayout(hdr, 0, 0);
    DBGri = named(new kv::DBGrid(TSGrupos), "DBGri");
    lgr->addWidget(DBGri, 1, 0);
    auto* gb = new QVBoxLayout;
    BtnAddGrupo = button("BtnAddGrupo", QStringLiteral("Adicionar"), TSGrupos);
    BtnModGrupo = button("BtnModGrupo", QStringLiteral("Modificar"), TSGrupos);
    BtnBorGrupo = button("BtnBorGrupo", QStringLiteral("Borrar"), TSGrupos);
    BtnFusionarGrupos = button("BtnFusionarGrupos", QStringLiteral("Fusionar Grupos"), TSGrupos);
    for (QPushButton* b : {BtnAddGrupo, BtnModGrupo, BtnBorGrupo, BtnFusionarGrupos}) gb->addWidget(b);
    gb->addStretch();
    lgr->addLayout(gb, 1, 1);
    PgGrados->addTab(TSGrupos, QStringLiteral("Grupos"));
    upper->addWidget(PgGrados, 1);

    auto* right = new QVBoxLayout;
    ImgEscudo = named(new QLabel(central), "ImgEscudo");
    ImgEscudo->setFixedSize(105, 105);
    ImgEscudo->setAlignment(Qt::AlignCenter);
    right->addWidget(ImgEscudo, 0, Qt::AlignHCenter);
    auto* yearRow = new QHBoxLayout;
    auto* lblAnioCap = named(new QLabel(QStringLiteral("Año:"), central), "LblAnioCaption");
    LblAnio = named(new QLabel(central), "LblAnio");
    QFont yf = LblAnio->font();
    yf.setBold(true);
    yf.setPointSize(14);
    LblAnio->setFont(yf);
    LblAnio->setStyleSheet(QStringLiteral("color: maroon;"));
    yearRow->addWidget(lblAnioCap);
    yearRow->addWidget(LblAnio);
    yearRow->addStretch();
    right->addLayout(yearRow);
    EdAnio = named(new QLineEdit(central), "EdAnio");
    EdAnio->setVisible(false);
    right->addStretch();
    upper->addLayout(right);
    root->addLayout(upper, 4);

    // ---- information panel ----
    auto* info = named(new QFrame(central), "PanelInfo");
    info->setAutoFillBackground(true);
    QPalette ip = info->palette();
    ip.setColor(QPalette::Window, QColor(255, 255, 0));
    info->setPalette(ip);
    info->setFrameShape(QFrame::Panel);
    auto* il = new QHBoxLayout(info);
    il->setContentsMargins(6, 2, 6, 2);
    il->addWidget(new QLabel(QStringLiteral("CATEGORIA:"), info));
    LblIGrado = named(new QLabel(info), "LblIGrado");
    il->addWidget(LblIGrado);
    il->addSpacing(20);
    il->addWidget(new QLabel(QStringLiteral("GRUPO:"), info));
    LblIGrupo = named(new QLabel(info), "LblIGrupo");
    il->addWidget(LblIGrupo);
    il->addSpacing(20);
    lblSinEstud = named(new QLabel(info), "lblSinEstud");
    lblSinEstud->setStyleSheet(QStringLiteral("color: red;"));
    il->addWidget(lblSinEstud);
    il->addStretch();
    LblNColegio = named(new QLabel(info), "LblNColegio");
    QFont nf = LblNColegio->font();
    nf.setBold(true);
    LblNColegio->setFont(nf);
    LblNColegio->setStyleSheet(QStringLiteral("color: blue;"));
    il->addWidget(LblNColegio);
    root->addWidget(info);

    // ---- lower half: persons and photo ----
    auto* lower = new QHBoxLayout;
    PgEstudiantes = named(new QTabWidget(central), "PgEstudiantes");
    TSEstudiantes = named(new QWidget, "TSEstudiantes");
    auto* le = new QGridLayout(TSEstudiantes);
    auto* eh = new QHBoxLayout;
    eh->addWidget(new QLabel(QStringLiteral("Grado:"), TSEstudiantes));
    LblIGradoEstudiantes = named(new QLabel(TSEstudiantes), "LblIGradoEstudiantes");
    eh->addWidget(LblIGradoEstudiantes);
    eh->addSpacing(20);
    eh->addWidget(new QLabel(QStringLiteral("Grupo:"), TSEstudiantes));
    LblIGrupoEstudiantes = named(new QLabel(TSEstudiantes), "LblIGrupoEstudiantes");
    eh->addWidget(LblIGrupoEstudiantes);
    eh->addStretch();
    Label8 = named(new QLabel(TSEstudiantes), "Label8");
    Label8->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    eh->addWidget(Label8);
    le->addLayout(eh, 0, 0);
    DBGEstudiantes = named(new kv::DBGrid(TSEstudiantes), "DBGEstudiantes");
    DBGEstudiantes->setToolTip(QStringLiteral(
        "Situación Académica puede ser: C,N,R,M,P (Cancelado, Nuevo, Repitente, Matriculado, Pendiente)    Situación social: D (Desplazado)"));
    le->addWidget(DBGEstudiantes, 1, 0);
    auto* pb = new QVBoxLayout;
    BtnAddEstudiante = button("BtnAddEstudiante", QStringLiteral("Adicionar"), TSEstudiantes);
    BtnBorrarEst = button("BtnBorrarEst", QStringLiteral("Borrar"), TSEstudiantes);
    BtnModEst = button("BtnModEst", QStringLiteral("Modificar"), TSEstudiantes);
    BtnCambiarDeGrupo = button("BtnCambiarDeGrupo", QStringLiteral("Cambiar grado o grupo"), TSEstudiantes);
    btnSuspender = button("btnSuspender", QStringLiteral("SUSPENDER"), TSEstudiantes);
    BtnSabana = button("BtnSabana", QStringLiteral("Sábana"), TSEstudiantes);
    btnConsultantes = button("btnConsultantes", QStringLiteral("Consultantes"), TSEstudiantes);
    for (QPushButton* b : {BtnAddEstudiante, BtnBorrarEst, BtnModEst, BtnCambiarDeGrupo, btnSuspender, BtnSabana, btnConsultantes})
        pb->addWidget(b);
    pb->addStretch();
    le->addLayout(pb, 1, 1);
    PgEstudiantes->addTab(TSEstudiantes, QStringLiteral("Personas"));
    PgEstudiantes->setEnabled(false);   // enabled by the construction after the settings
    lower->addWidget(PgEstudiantes, 1);

    Image1 = named(new QLabel(central), "Image1");
    Image1->setMinimumSize(130, 170);   // room for the usual photo, so the lists don't jump
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QPixmap(QStringLiteral(":/kelvora/placeholder.png")));
    lower->addWidget(Image1, 0, Qt::AlignTop);
    root->addLayout(lower, 5);

    // ---- bottom: progress, capture field, name, status ----
    ProgressBar1 = named(new QProgressBar(central), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(12);
    root->addWidget(ProgressBar1);
    auto* cap = new QHBoxLayout;
    auto* lblCodigo = named(new QLabel(QStringLiteral("Código:"), central), "LblCodigo");
    QFont cf = lblCodigo->font();
    cf.setPixelSize(28);
    cf.setBold(true);
    lblCodigo->setFont(cf);
    cap->addWidget(lblCodigo);
    edCodigo = named(new QLineEdit(central), "edCodigo");
    QFont ef = edCodigo->font();
    ef.setPixelSize(32);
    edCodigo->setFont(ef);
    edCodigo->setFixedWidth(320);
    lblCodigo->setBuddy(edCodigo);
    cap->addWidget(edCodigo);
    lblNEstudiante = named(new QLabel(QStringLiteral("*"), central), "lblNEstudiante");
    QFont lf = lblNEstudiante->font();
    lf.setPixelSize(20);
    lf.setBold(true);
    lblNEstudiante->setFont(lf);
    lblNEstudiante->setStyleSheet(QStringLiteral("color: blue;"));
    // a long name must not squeeze the capture field
    lblNEstudiante->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cap->addWidget(lblNEstudiante, 1);
    root->addLayout(cap);
    Label7 = named(new QLabel(central), "Label7");
    root->addWidget(Label7);
    Memo1 = named(new QPlainTextEdit(central), "Memo1");
    Memo1->setPlainText(QStringLiteral("Motivo de la salida:\n"));
    Memo1->setVisible(false);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(5000);

    DSAbaGrados = named(new kv::DataSource(this), "DSAbaGrados");
    DSGrupos = named(new kv::DataSource(this), "DSGrupos");
    DSAbaMaterias = named(new kv::DataSource(this), "DSAbaMaterias");
    DSEstudiantes = named(new kv::DataSource(this), "DSEstudiantes");
    for (kv::DataSource* ds : {DSAbaGrados, DSGrupos, DSAbaMaterias, DSEstudiantes}) ds->setEnabled(false);
    if (kv::DM) {
        DSAbaGrados->setDataSet(kv::DM->TblAbaGrados);
        DSGrupos->setDataSet(kv::DM->TblGrupos);
        DSAbaMaterias->setDataSet(kv::DM->TblAbaMaterias);
        DSEstudiantes->setDataSet(kv::DM->TblEstudiantes);
        DBGrid1->setDataSet(kv::DM->TblAbaGrados,
                            fitHeadings(DBGrid1, {{"IGrado", QStringLiteral("Cód. Categoría"), 77, true},
                                                  {"NGrado", QStringLiteral("Categoría"), 231, false}}));
        DBGri->setDataSet(kv::DM->TblGrupos,
                          fitHeadings(DBGri, {{"IGrupo", QStringLiteral("Grupo"), 37, true},
                                              {"NDirector", QStringLiteral("Director"), 343, true}}));
        DBGri->setGridReadOnly(true);
        DBGEstudiantes->setDataSet(kv::DM->TblEstudiantes,
                                   fitHeadings(DBGEstudiantes, {{"nestudiante", QStringLiteral("Nombre"), 213, false},
                                                                {"codigo", QStringLiteral("Código"), 80, true}}));
    }
    TblConfigGlobal = named(new kv::TableCursor(QStringLiteral("Config"), this), "TblConfigGlobal");
    edCodigo->setFocus();
}

void TFrmMain::buildMenu()
{
    auto act = [this](QMenu* m, const char* name, const QString& caption) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* planillas = menuBar()->addMenu(QStringLiteral("Planillas y formatos"));
    UnaCategoria1 = act(planillas, "UnaCategoria1", QStringLiteral("Una categoría"));
    UnGrupo1 = act(planillas, "UnGrupo1", QStringLiteral("Un grupo"));
    QMenu* informes = menuBar()->addMenu(QStringLiteral("Informes"));
    AsistentesInasistentes1 = act(informes, "AsistentesInasistentes1", QStringLiteral("Asistentes - Inasistentes"));
    ConsultarUnaPersona1 = act(informes, "ConsultarUnaPersona1", QStringLiteral("Consultar una persona"));
    EntradasYSalidas1 = act(informes, "EntradasYSalidas1", QStringLiteral("Entradas y salidas"));
    QMenu* herr = menuBar()->addMenu(QStringLiteral("Herramientas"));
    Buscarestudiante1 = act(herr, "Buscarestudiante1", QStringLiteral("Buscar persona"));
    BlockDeNotas1 = act(herr, "BlockDeNotas1", QStringLiteral("Block de notas"));
    herr->addSeparator();
    SubirAInternet1 = act(herr, "SubirAInternet1", QStringLiteral("Subir a Internet"));
    SacarLosQueQuedaron1 = act(herr, "SacarLosQueQuedaron1", QStringLiteral("Sacar los que se quedaron dentro del sistema"));
    QMenu* conf = menuBar()->addMenu(QStringLiteral("Configuración"));
    Opciones1 = act(conf, "Opciones1", QStringLiteral("Opciones"));
    QMenu* acerca = menuBar()->addMenu(QStringLiteral("Acerca de"));
    Info1 = act(acerca, "Info1", QStringLiteral("Info"));
    SitioWEB1 = act(acerca, "SitioWEB1", QStringLiteral("Sitio WEB Ormelix"));
    Salir1 = menuBar()->addAction(QStringLiteral("Salir"));
    Salir1->setObjectName(QStringLiteral("Salir1"));

    // Commands whose windows are not built yet are shown, named and disabled.
    for (QAction* a : {UnaCategoria1, UnGrupo1, AsistentesInasistentes1, ConsultarUnaPersona1, EntradasYSalidas1,
                       SubirAInternet1, SacarLosQueQuedaron1})
        a->setEnabled(false);
    BtnSabana->setEnabled(false);
    btnConsultantes->setEnabled(false);
}

QMenu* TFrmMain::shellMenu(const QString& caption)
{
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->text() == caption) return a->menu();
    // A new menu goes before "Salir", which stays the last entry of the bar.
    auto* menu = new QMenu(caption, this);
    menuBar()->insertMenu(Salir1, menu);
    return menu;
}

void TFrmMain::RefreshSelection()
{
    // The store category holds the window where it is.
    if (currentGrado == -99) return;
    if (!kv::DM || !kv::DM->TblAbaGrados->isActive() || !kv::DM->TblGrupos->isActive()) return;
    kv::TableCursor* grados = kv::DM->TblAbaGrados;
    kv::TableCursor* materias = kv::DM->TblAbaMaterias;
    const int grado = int(grados->fieldByName(QStringLiteral("IGrado")).asInteger());
    if (grado != currentGrado) {
        currentGrado = grado;
        materias->setFilter(QStringLiteral("IGrado=?"), {grado});
        materias->setFiltered(true);
    }
    currentMateria = materias->isActive() ? materias->fieldByName(QStringLiteral("IMateria")).asString() : QString();
    currentGrupo = kv::DM->TblGrupos->fieldByName(QStringLiteral("IGrupo")).asString();
    LblIGrado->setText(QString::number(currentGrado));
    LblIGradoGrupos->setText(QString::number(currentGrado));
    LblIGradoEstudiantes->setText(grados->fieldByName(QStringLiteral("NGrado")).asString());
    LblIGrupo->setText(currentGrupo);
    LblIGrupoEstudiantes->setText(currentGrupo);
}

void TFrmMain::ApplyPersonsFilter()
{
    RefreshSelection();
    if (PgEstudiantes->currentWidget() != TSEstudiantes || currentGrupo.isEmpty() || !kv::DM) return;
    kv::TableCursor* p = kv::DM->TblEstudiantes;
    p->setFilter(QStringLiteral("IGrado=? and IGrupo=?"), {currentGrado, currentGrupo});
    p->setFiltered(true);
}

void TFrmMain::connectEvents()
{
    connect(Salir1, &QAction::triggered, this, &TFrmMain::SalirClick);
    connect(BlockDeNotas1, &QAction::triggered, this, &TFrmMain::BlockDeNotasClick);
    connect(Info1, &QAction::triggered, this, &TFrmMain::InfoClick);
    connect(SitioWEB1, &QAction::triggered, this, &TFrmMain::SitioWEBClick);
    connect(Opciones1, &QAction::triggered, this, &TFrmMain::OpcionesClick);

}

void TFrmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFrmMain::closeEvent(QCloseEvent* e)
{
    // No tick may come after the tables are gone.
    Timer1->stop();
    if (kv::DM) kv::DM->CloseTables();
    QMainWindow::closeEvent(e);
}

void TFrmMain::mostrarErrorConfig(const kv::TConfig& config)
{
    // Each activation reads the settings again, and closing an error box activates the
    // window again: the same failure shown every time would never let the operator go.
    if (config.error().isEmpty()) {
        ultimoErrorConfig_.clear();
        return;
    }
    if (config.error() == ultimoErrorConfig_) return;
    ultimoErrorConfig_ = config.error();
    kv::MostrarExcepcion(config.excepcion());
}

void TFrmMain::FormActivate()
{
    kv::TConfig config;
    mostrarErrorConfig(config);
    if (kv::QuitPending()) return;
    if (kv::DM) {
        if (kv::DM->TblAbaMaterias->isActive())
            currentMateria = kv::DM->TblAbaMaterias->fieldByName(QStringLiteral("IMateria")).asString();
        if (kv::DM->TblAbaGrados->isActive())
            currentGrado = int(kv::DM->TblAbaGrados->fieldByName(QStringLiteral("IGrado")).asInteger());
        if (kv::DM->TblGrupos->isActive())
            currentGrupo = kv::DM->TblGrupos->fieldByName(QStringLiteral("IGrupo")).asString();
    }
    // The site's name: row AliasColegio + 1 of the site list.
    try {
        TblConfigGlobal->setDatabase(kv::Database::siteList());
        TblConfigGlobal->open();
        const int fila = kv::LeerAliasColegio() + 1;
        LblNColegio->setText(fila >= 1 && fila <= TblConfigGlobal->recordCount()
                                 ? (TblConfigGlobal->setRecNo(fila),
                                    TblConfigGlobal->fieldByName(QStringLiteral("colegio")).asString())
                                 : QString());
        TblConfigGlobal->close();
    } catch (const std::exception&) {
        // Shown at every activation, an error box would reactivate the window and come
        // back for ever; the name just stays as it was.
        TblConfigGlobal->close();
    }
    // A logo that cannot be loaded leaves the picture as it was.
    QPixmap logo;
    if (!config.rutaEscudo().isEmpty() && logo.load(config.rutaEscudo()))
        ImgEscudo->setPixmap(logo.scaled(ImgEscudo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TFrmMain::SalirClick()
{
    // The old engine's session and its lock-control file "pdoxusrs.net" have no
    // counterpart with SQLite: closing the window closes the tables, that is all.
    close();
}

void TFrmMain::BlockDeNotasClick()
{
    // The notes belong to the site: pendientes.txt in its tables directory.
    const QString file = QDir(kv::TablesDir()).filePath(QStringLiteral("pendientes.txt"));
    if (!kv::AbrirEditorTexto(file))
        kv::Messages::instance().showMessage(QStringLiteral("No se pudo abrir el editor de textos con ")
                                             + QDir::toNativeSeparators(file));
}

void TFrmMain::InfoClick()
{
    TFrmAcercaDe info(this);
    kv::ExecModal(info);
}

void TFrmMain::SitioWEBClick()
{
    if (!kv::AbrirDireccionWeb(kv::DireccionWebFabricante()))
        kv::Messages::instance().showMessage(QStringLiteral("No se pudo abrir la dirección ")
                                             + kv::DireccionWebFabricante());
}

void TFrmMain::OpcionesClick()
{
    if (!kv::AccesoPermitido()) return;
    std::unique_ptr<TFrmConfig> dlg;
    try {
        dlg = std::make_unique<TFrmConfig>(this);
        dlg->MostrarEscudo();
    } catch (...) {
        kv::MostrarExcepcion();
        return;
    }
    kv::ExecModal(*dlg);
}
