#include "reports/forms/TfrmRangoInforme.h"
#include "data/TDM.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "settings/TConfig.h"
#include "base/Clock.h"
#include "base/Messages.h"
#include "base/forms/ErrorDisplay.h"
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* buddyLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QLineEdit* gradoEdit(QWidget* parent, const char* name, int value)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(2);
    e->setValidator(nullptr);
    e->setInputMask(QStringLiteral("99"));
    e->setText(QString::number(value));
    e->setFixedWidth(50);
    return e;
}

QDateEdit* fechaEdit(QWidget* parent, const char* name)
{
    auto* d = new QDateEdit(kv::Clock::instance().today(), parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return d;
}

} // namespace

TfrmRangoInforme::TfrmRangoInforme(QWidget* parent, const QString& caption) : QDialog(parent)
{
    setWindowTitle(caption);
    setModal(true);
    int first = 0, last = 0;
    try {
        std::tie(first, last) = kv::rpt::RangoCategorias(kv::TablesDir());
    } catch (...) {
        kv::MostrarExcepcion();
    }
    grid = new QGridLayout(this);
    auto* titulo = new QLabel(QStringLiteral("Categorías a considerar:"), this);
    QFont bold = titulo->font();
    bold.setBold(true);
    titulo->setFont(bold);
    grid->addWidget(titulo, 0, 0, 1, 4);
    edGradoInicial = gradoEdit(this, "edGradoInicial", first);
    edGradoFinal = gradoEdit(this, "edGradoFinal", last);
    grid->addWidget(buddyLabel(this, QStringLiteral("&Desde:"), edGradoInicial), 1, 0);
    grid->addWidget(edGradoInicial, 1, 1);
    grid->addWidget(buddyLabel(this, QStringLiteral("&Hasta:"), edGradoFinal), 1, 2);
    grid->addWidget(edGradoFinal, 1, 3);
    edFechaInicial = fechaEdit(this, "edFechaInicial");
    edFechaFinal = fechaEdit(this, "edFechaFinal");
    grid->addWidget(buddyLabel(this, QStringLiteral("Fecha &Inicial:"), edFechaInicial), 2, 0);
    grid->addWidget(edFechaInicial, 2, 1);
    grid->addWidget(buddyLabel(this, QStringLiteral("Fecha &Final:"), edFechaFinal), 2, 2);
    grid->addWidget(edFechaFinal, 2, 3);
    btnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    btnAceptar->setObjectName(QStringLiteral("btnAceptar"));
    btnAceptar->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    grid->addWidget(btnAceptar, 10, 2);
    grid->addWidget(btnCancelar, 10, 3);
    connect(btnAceptar, &QPushButton::clicked, this, &TfrmRangoInforme::btnAceptarClick);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

kv::rpt::ReportArgs TfrmRangoInforme::argumentos() const
{
    kv::rpt::ReportArgs a;
    a.set(QStringLiteral("grado-desde"), edGradoInicial->text().trimmed());
    a.set(QStringLiteral("grado-hasta"), edGradoFinal->text().trimmed());
    a.setLabel(QStringLiteral("grado-desde"), QStringLiteral("La categoría «Desde:»"));
    a.setLabel(QStringLiteral("grado-hasta"), QStringLiteral("La categoría «Hasta:»"));
    a.set(QStringLiteral("desde"), edFechaInicial->date().toString(Qt::ISODate));
    a.set(QStringLiteral("hasta"), edFechaFinal->date().toString(Qt::ISODate));
    agregarParametros(a);
    return a;
}

void TfrmRangoInforme::btnAceptarClick()
{
    // Its preview is modal, but a queued second click must not start another report.
    if (enCurso_) return;
    enCurso_ = true;
    struct Reset {
        bool& b;
        ~Reset() { b = false; }
    } reset{enCurso_};
    const kv::rpt::ReportArgs a = argumentos();
    kv::rpt::PreparedReport r;
    if (!intentar([&] { r = kv::rpt::findReportKind(tipo())->prepare(kv::TablesDir(), a); })) return;
    kv::rpt::MostrarInforme(r, true, this);
}

bool TfrmRangoInforme::intentar(const std::function<void()>& paso)
{
    try {
        paso();
        return true;
    } catch (const kv::rpt::ReportError& e) {
        kv::Messages::instance().showMessage(e.message(), QStringLiteral("Error"), kv::MsgIcon::Warning);
    } catch (...) {
        kv::MostrarExcepcion();
    }
    return false;
}
