#include "settings/forms/TFrmConfig.h"
#include "base/forms/BotonesDialogo.h"
#include "data/forms/FieldLimits.h"
#include "base/forms/ErrorDisplay.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "data/TableCursor.h"
#include "settings/TConfig.h"
#include "base/Messages.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
QLineEdit* lineEdit(const char* name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}
QLabel* labelFor(const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, buddy->parentWidget());
    l->setBuddy(buddy);
    return l;
}
} // namespace

TFrmConfig::TFrmConfig(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmConfig"));
    setWindowTitle(QStringLiteral("Opciones"));
    setModal(true);
    setMinimumWidth(580);
    escogerImagen = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("Buscar escudo"), QString(),
                                            QStringLiteral("Imágenes (*.jpg *.jpeg *.bmp *.png *.gif);;Todos (*)"));
    };

    auto* root = new QVBoxLayout(this);
    pgConfig = new QTabWidget(this);
    pgConfig->setObjectName(QStringLiteral("pgConfig"));
    root->addWidget(pgConfig);

    // ---- Datos de la institución ----
    auto* tsDatos = new QWidget;
    tsDatos->setObjectName(QStringLiteral("TSDatos"));
    auto* dl = new QHBoxLayout(tsDatos);
    ImgEscudo = new QLabel(tsDatos);
    ImgEscudo->setObjectName(QStringLiteral("ImgEscudo"));
    ImgEscudo->setFixedSize(105, 105);
    ImgEscudo->setAlignment(Qt::AlignCenter);
    ImgEscudo->setFrameShape(QFrame::Box);
    dl->addWidget(ImgEscudo, 0, Qt::AlignTop);
    auto* df = new QFormLayout;
    EdNColegio = lineEdit("EdNColegio", tsDatos);
    EdNColegio->setReadOnly(true);
    EdJornada = lineEdit("EdJornada", tsDatos);
    EdRutaEscudo = lineEdit("EdRutaEscudo", tsDatos);
    EdRutaEscudo->setReadOnly(true);
    BtnBuscarEscudo = new QPushButton(QStringLiteral("Buscar escudo"), tsDatos);
    BtnBuscarEscudo->setObjectName(QStringLiteral("BtnBuscarEscudo"));
    BtnBuscarEscudo->setAutoDefault(false);
    df->addRow(labelFor(QStringLiteral("Razón social:"), EdNColegio), EdNColegio);
    df->addRow(labelFor(QStringLiteral("Jornada:"), EdJornada), EdJornada);
    df->addRow(labelFor(QStringLiteral("Ubicación del logo:"), EdRutaEscudo), EdRutaEscudo);
    df->addRow(QString(), BtnBuscarEscudo);
    dl->addLayout(df, 1);
    pgConfig->addTab(tsDatos, QStringLiteral("Datos de la institución"));

    // ---- Cabecera de Informes ----
    auto* tsCab = new QWidget;
    tsCab->setObjectName(QStringLiteral("TSCabecera"));
    auto* cf = new QFormLayout(tsCab);
    EdEncabezado1 = lineEdit("EdEncabezado1", tsCab);
    EdEncabezado2 = lineEdit("EdEncabezado2", tsCab);
    cf->addRow(labelFor(QStringLiteral("Encabezado1:"), EdEncabezado1), EdEncabezado1);
    cf->addRow(labelFor(QStringLiteral("Encabezado2:"), EdEncabezado2), EdEncabezado2);
    cbFormatoPlanilla = new QComboBox(tsCab);
    cbFormatoPlanilla->setObjectName(QStringLiteral("cbFormatoPlanilla"));
    cbFormatoPlanilla->addItem(QStringLiteral("1: fallas, período y definitiva"), 1);
    cbFormatoPlanilla->addItem(QStringLiteral("2: control de asistencia y de evaluación"), 2);
    cf->addRow(labelFor(QStringLiteral("Formato de planillas:"), cbFormatoPlanilla), cbFormatoPlanilla);
    chkIncluirCancelados = new QCheckBox(QStringLiteral("Incluir en las planillas a quienes cancelaron"), tsCab);
    chkIncluirCancelados->setObjectName(QStringLiteral("chkIncluirCancelados"));
    cf->addRow(QString(), chkIncluirCancelados);
    pgConfig->addTab(tsCab, QStringLiteral("Cabecera de Informes"));

    // ---- General ----
    auto* tsGen = new QWidget;
    tsGen->setObjectName(QStringLiteral("TSGeneral"));
    auto* gf = new QFormLayout(tsGen);
    EdClave = lineEdit("EdClave", tsGen);
    EdClave->setEchoMode(QLineEdit::Password);
    EdClave2 = lineEdit("EdClave2", tsGen);
    EdClave2->setEchoMode(QLineEdit::Password);
    for (QLineEdit* e : {EdClave, EdClave2})
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // one "*" per character
    dtpHoraSalidaAuto = new QTimeEdit(tsGen);
    dtpHoraSalidaAuto->setObjectName(QStringLiteral("dtpHoraSalidaAuto"));
    dtpHoraSalidaAuto->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    gf->addRow(labelFor(QStringLiteral("Contraseña  de entrada:"), EdClave), EdClave);
    gf->addRow(labelFor(QStringLiteral("Repetir contraseña:"), EdClave2), EdClave2);
    LblHoraSalidaAuto = labelFor(QStringLiteral("Hora para hacer salidas automáticas:"), dtpHoraSalidaAuto);
    LblHoraSalidaAuto->setObjectName(QStringLiteral("LblHoraSalidaAuto"));
    gf->addRow(LblHoraSalidaAuto, dtpHoraSalidaAuto);
    LblHoraSalidaAuto->setVisible(false);
    dtpHoraSalidaAuto->setVisible(false);
    seSegundosRepetida = new QSpinBox(tsGen);
    seSegundosRepetida->setObjectName(QStringLiteral("seSegundosRepetida"));
    seSegundosRepetida->setRange(0, 3600);
    gf->addRow(labelFor(QStringLiteral("Ignorar lecturas repetidas durante (segundos):"), seSegundosRepetida),
               seSegundosRepetida);
    chkTonosDistintos = new QCheckBox(QStringLiteral("Tonos distintos"), tsGen);
    chkTonosDistintos->setObjectName(QStringLiteral("chkTonosDistintos"));
    gf->addRow(QString(), chkTonosDistintos);
    dtpHoraEntrada = new QTimeEdit(tsGen);
    dtpHoraEntrada->setObjectName(QStringLiteral("dtpHoraEntrada"));
    dtpHoraEntrada->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    gf->addRow(labelFor(QStringLiteral("Hora de entrada:"), dtpHoraEntrada), dtpHoraEntrada);
    pgConfig->addTab(tsGen, QStringLiteral("General"));
    const std::pair<QLineEdit*, const char*> campos[] = {
        {EdNColegio, "NColegio"}, {EdJornada, "Jornada"}, {EdRutaEscudo, "rutaEscudo"},
        {EdEncabezado1, "Encabezado1"}, {EdEncabezado2, "Encabezado2"}, {EdClave, "clave"}, {EdClave2, "clave"}};
    for (const auto& [box, campo] : campos) kv::LimitarAlCampo(box, QStringLiteral("Config"), QLatin1String(campo));

    const kv::BotonesDialogo botones =
        kv::CrearBotonesDialogo(this, QStringLiteral("&Salir"), QStringLiteral("BtnSalir"), true);
    BtnAceptar = botones.aceptar;
    BtnSalir = botones.cerrar;
    root->addWidget(botones.caja);

    connect(BtnBuscarEscudo, &QPushButton::clicked, this, &TFrmConfig::BtnBuscarEscudoClick);
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmConfig::BtnAceptarClick);

    TblConfig = new kv::TableCursor(QStringLiteral("Config.db"), this);
    TblConfig->setObjectName(QStringLiteral("TblConfig"));
    TblConfig->setDirectory(kv::TablesDir());
    TblConfig->open();
    pgConfig->setCurrentIndex(0);

    EdClave->setText(TblConfig->fieldByName(QStringLiteral("Clave")).asString());
    EdClave2->setText(EdClave->text());
    EdNColegio->setText(TblConfig->fieldByName(QStringLiteral("NColegio")).asString());
    EdEncabezado1->setText(TblConfig->fieldByName(QStringLiteral("Encabezado1")).asString());
    EdEncabezado2->setText(TblConfig->fieldByName(QStringLiteral("Encabezado2")).asString());
    EdRutaEscudo->setText(TblConfig->fieldByName(QStringLiteral("rutaEscudo")).asString());
    EdJornada->setText(TblConfig->fieldByName(QStringLiteral("jornada")).asString());
    horaLeida_ = TblConfig->fieldByName(QStringLiteral("horaSalidaAuto")).asDateTime();
    dtpHoraSalidaAuto->setTime(horaLeida_.isValid() ? horaLeida_.time() : QTime(0, 0));
    seSegundosRepetida->setValue(kv::LeerSegundosRepetida(*TblConfig));
    chkTonosDistintos->setChecked(kv::LeerTonosDistintos(*TblConfig));
    {
        kv::TConfig config;
        cbFormatoPlanilla->setCurrentIndex(config.formatoPlanilla() == 1 ? 0 : 1);
        chkIncluirCancelados->setChecked(config.incluirCancelados());
        dtpHoraEntrada->setTime(config.horaEntrada());
    }
}

TFrmConfig::~TFrmConfig() = default;

bool TFrmConfig::cargarEscudo(const QString& ruta)
{
    QPixmap p;
    if (ruta.isEmpty() || !p.load(ruta)) return false;
    ImgEscudo->setPixmap(p.scaled(ImgEscudo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

namespace {
void avisarEscudoMalo()
{
    kv::Messages::instance().showMessage(
        QStringLiteral("Debe escoger bien la ruta del escudo.\nPulse el botón buscar escudo y úbiquelo."),
        QStringLiteral("Error"));
}
} // namespace

void TFrmConfig::MostrarEscudo()
{
    if (!cargarEscudo(EdRutaEscudo->text())) avisarEscudoMalo();
}

void TFrmConfig::BtnBuscarEscudoClick()
{
    kv::TConfig config;
    kv::MostrarExcepcion(config.excepcion());
    const QString file = escogerImagen ? escogerImagen(this) : QString();
    if (file.isEmpty()) return;
    // A file that is no picture is refused before it is stored, not at the next opening.
    if (QImage probe; !probe.load(file)) {
        avisarEscudoMalo();
        return;
    }
    // Stored at once: the logo stays even when the dialog is then left with "&Salir".
    // A store that failed is shown; the box keeps the path that is really stored.
    try {
        config.setRutaEscudo(file);
    } catch (...) {
        kv::MostrarExcepcion();
        return;
    }
    EdRutaEscudo->setText(file);
    cargarEscudo(file);
}

void TFrmConfig::BtnAceptarClick()
{
    if (EdClave->text() != EdClave2->text()) {
        kv::Messages::instance().showMessage(QStringLiteral("Contraseñas no coinciden.\n"), QStringLiteral("Error"));
        return;
    }
    if (!TblConfig->hasField(QStringLiteral("horaEntrada"))) {
        // A site made before the entry hour gets the field now, holding its default.
        TblConfig->close();
        kv::actualizarSitio(*kv::Database::forDirectory(kv::TablesDir()));
        TblConfig->open();
    }
    // The row as it is now: "Buscar escudo" may have stored a new logo through another record.
    TblConfig->refresh();
    TblConfig->edit();
    try {
        TblConfig->setFieldValue(QStringLiteral("Clave"), EdClave->text());
        TblConfig->setFieldValue(QStringLiteral("NColegio"), EdNColegio->text());
        TblConfig->setFieldValue(QStringLiteral("Encabezado1"), EdEncabezado1->text());
        TblConfig->setFieldValue(QStringLiteral("Encabezado2"), EdEncabezado2->text());
        TblConfig->setFieldValue(QStringLiteral("jornada"), EdJornada->text());
        // Only the time of day means something: the stored date part stays, and an empty
        // value stays empty (the picker is hidden, nobody can have set it).
        if (horaLeida_.isValid())
            TblConfig->setFieldValue(QStringLiteral("horaSalidaAuto"),
                                     QDateTime(horaLeida_.date(), dtpHoraSalidaAuto->time()));
        TblConfig->setFieldValue(QStringLiteral("segundosRepetida"), seSegundosRepetida->value());
        TblConfig->setFieldValue(QStringLiteral("tonosDistintos"), chkTonosDistintos->isChecked());
        if (TblConfig->hasField(QStringLiteral("horaEntrada")))
            TblConfig->setFieldValue(QStringLiteral("horaEntrada"), dtpHoraEntrada->time());
        TblConfig->post();
    } catch (...) {
        TblConfig->cancel();
        throw;
    }
    {
        // Through the settings record: it adds the two fields to a site made before them.
        kv::TConfig listas;
        try {
            listas.setListas(cbFormatoPlanilla->currentData().toInt(), chkIncluirCancelados->isChecked());
        } catch (...) {
            kv::MostrarExcepcion();
            return;
        }
    }
    kv::Messages::instance().showMessage(
        QStringLiteral("Algunos cambios tendrán efecto la próxima vez que reinicie el programa."),
        QStringLiteral("Información"));
    accept();
}

void TFrmConfig::done(int r)
{
    if (TblConfig->isActive()) TblConfig->close();
    QDialog::done(r);
}
