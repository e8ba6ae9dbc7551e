#include "publish/forms/TfrmSubirInternet.h"
#include "base/forms/ErrorDisplay.h"
#include "data/TDM.h"
#include "platform/Desktop.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "settings/TConfig.h"
#include "base/forms/ErrorDisplay.h"
#include "base/Messages.h"
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>

TfrmSubirInternet::TfrmSubirInternet(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmSubirInternet"));
    setWindowTitle(QStringLiteral("Subir a Internet"));
    {
        const kv::TConfig config;
        icolegio_ = config.iColegio();
    }
    auto* lay = new QGridLayout(this);
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto box = [this](const char* name, const QString& text) {
        auto* b = new QCheckBox(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    Label2 = label("Label2", QStringLiteral("Escoja lo que desee subir:"));
    CheckBox4 = box("CheckBox4", QStringLiteral("&Estudiantes"));
    CheckBox1 = box("CheckBox1", QStringLiteral("E&ntradas y salidas"));
    CheckBox2 = box("CheckBox2", QStringLiteral("&Consultantes"));
    Label5 = label("Label5", QStringLiteral("*"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label3 = label("Label3", QStringLiteral("*"));
    Label4 = label("Label4", QStringLiteral("*"));
    Button1 = new QPushButton(QStringLiteral("Iniciar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Label1 = label("Label1", QStringLiteral("<a href=\"%1\">%1</a>").arg(kv::DireccionWebFabricante()));
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label1->setCursor(Qt::PointingHandCursor);

    lay->addWidget(Label2, 0, 0, 1, 3);
    lay->addWidget(CheckBox4, 1, 0, 1, 3);
    lay->addWidget(CheckBox1, 2, 0, 1, 3);
    lay->addWidget(CheckBox2, 3, 0, 1, 3);
    lay->addWidget(Label5, 4, 0, 1, 3);
    lay->addWidget(ProgressBar1, 5, 0, 1, 3);
    lay->addWidget(Label3, 6, 0);
    lay->addWidget(Label4, 6, 1);
    lay->addWidget(Button1, 7, 2);
    lay->addWidget(Label1, 8, 0, 1, 3);
    connect(Button1, &QPushButton::clicked, this, &TfrmSubirInternet::Button1Click);
    connect(Label1, &QLabel::linkActivated, this, &TfrmSubirInternet::Label1Click);
    resize(360, 260);
}

void TfrmSubirInternet::seccion(const QString& nombre, int filas)
{
    ProgressBar1->setMaximum(qMax(filas, 1));
    ProgressBar1->setValue(0);
    Label4->setText(QString::number(filas) + QStringLiteral(" filas."));
    Label5->setText(nombre);
    Label3->setText(QStringLiteral("0 de:"));
    QApplication::processEvents();
}

void TfrmSubirInternet::avance(int hechas)
{
    ProgressBar1->setValue(hechas);
    Label3->setText(QString::number(hechas) + QStringLiteral(" de:"));
    QApplication::processEvents();
}

void TfrmSubirInternet::Button1Click()
{
    Button1->setEnabled(false);
    ProgressBar1->setMinimum(0);
    kv::Messages& msg = kv::Messages::instance();
    const QString dir = kv::TablesDir();
    try {
        // One connection for the whole run: an unresponsive server costs one time-out, not
        // one per section.
        QString motivo;
        if (kv::ConectarInternet(ZConnection1, &motivo) != kv::EstadoConexion::Abierta) {
            // Nothing is sent; the operator learns why.
            msg.showMessage(motivo);
            accept();
            return;
        }
        int enviadas = 0, rechazadas = 0;
        QStringList rechazados;
        if (CheckBox1->isChecked()) {
            seccion(QStringLiteral("Entradas y salidas..."), kv::MovimientosPendientes(dir));
            kv::OpcionesSubida op;
            op.progreso = [this](int hechas, int) { avance(hechas); };
            const kv::ResultadoSubida r = kv::SubirMovimientos(ZConnection1, dir, icolegio_, op);
            if (!r.conectado) {
                msg.showMessage(r.motivo);
                accept();
                return;
            }
            enviadas += r.enviadas;
            rechazadas += r.rechazadas;
        }
        if (CheckBox4->isChecked()) {
            const kv::ResultadoPersonas r = kv::SubirEstudiantes(
                ZConnection1, dir, icolegio_, [this](int hechas, int total) {
                    if (hechas == 0) seccion(QStringLiteral("Estudiantes..."), total);
                    else avance(hechas);
                });
            for (const QString& nombre : r.sinCodigo) msg.showMessage(kv::TextoSinCodigo(nombre));
            enviadas += r.enviadas;
            rechazadas += r.rechazados.size();
            rechazados += r.rechazados;
        }
        if (CheckBox2->isChecked()) {
            const kv::ResultadoConsultantes r =
                kv::SubirConsultantes(ZConnection1, dir, icolegio_, [this](int hechas, int total) {
                    if (hechas == 0) seccion(QStringLiteral("Consultantes..."), total);
                    else avance(hechas);
                });
            enviadas += r.enviadas;
            rechazadas += r.rechazados.size();
            rechazados += r.rechazados;
        }
        // The persons the server refused, by name; a long list is cut, the log has them all.
        if (!rechazados.isEmpty()) {
            const int muestra = 15;
            QString texto = QStringList(rechazados.mid(0, muestra)).join(QLatin1Char('\n'));
            if (rechazados.size() > muestra) texto += QStringLiteral("\n... y %1 más.").arg(rechazados.size() - muestra);
            msg.showMessage(texto);
        }
        msg.showMessage(kv::TextoResultadoSubida(enviadas, rechazadas));
    } catch (const kv::PgError& e) {
        // The section's transaction was rolled back: the server keeps what it had.
        msg.showError(QStringLiteral("No se pudo subir la información; el servidor conserva la anterior.\n")
                      + (e.connectionLost() ? kv::MotivoConexion(e) : kv::MotivoRechazo(e)));
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
    accept();
}

void TfrmSubirInternet::Label1Click()
{
    kv::AbrirDireccionWeb(kv::DireccionWebFabricante());
}

void TfrmSubirInternet::done(int r)
{
    ZConnection1.close();
    QDialog::done(r);
}
