#include "capture/forms/AvisoPuerta.h"
#include "capture/AjustesPuerta.h"
#include "data/TDM.h"
#include "capture/Capture.h"
#include "platform/Beep.h"
#include "base/Clock.h"
#include <QBoxLayout>
#include <QLabel>
#include <QTimer>

namespace {

// The layout that holds `w`, searched from its parent's top layout down.
QBoxLayout* layoutDe(QLayout* l, QWidget* w)
{
    if (!l) return nullptr;
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem* it = l->itemAt(i);
        if (it->widget() == w) return qobject_cast<QBoxLayout*>(l);
        if (QBoxLayout* b = layoutDe(it->layout(), w)) return b;
    }
    return nullptr;
}

} // namespace

AvisoPuerta::AvisoPuerta(QLabel* nombre, QObject* parent)
    : QObject(parent), nombre_(nombre), ajustes_(new kv::AjustesPuerta(kv::TablesDir(), this))
{
    setObjectName(QStringLiteral("AvisoPuerta"));
    QWidget* panel = nombre->parentWidget();
    lblDireccion = new QLabel(panel);
    lblDireccion->setObjectName(QStringLiteral("lblDireccion"));
    lblDireccion->setAlignment(Qt::AlignCenter);
    QFont f = lblDireccion->font();
    f.setPixelSize(30);
    f.setBold(true);
    lblDireccion->setFont(f);
    // As wide as the longer word, so the name beside it does not move between the two.
    lblDireccion->setFixedWidth(QFontMetrics(f).horizontalAdvance(QStringLiteral("ENTRADA")) + 24);
    lblDireccion->setVisible(false);
    // Its room stays when it is hidden, so the name line is as wide as when it is shown and
    // a name measured to fit does not wrap once the banner appears.
    QSizePolicy sp = lblDireccion->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    lblDireccion->setSizePolicy(sp);
    if (QBoxLayout* b = layoutDe(panel ? panel->layout() : nullptr, nombre))
        b->insertWidget(b->indexOf(nombre), lblDireccion);
    TmrDireccion = new QTimer(this);
    TmrDireccion->setObjectName(QStringLiteral("TmrDireccion"));
    TmrDireccion->setSingleShot(true);
    TmrDireccion->setInterval(3000);
    connect(TmrDireccion, &QTimer::timeout, lblDireccion, &QWidget::hide);
}

AvisoPuerta* AvisoPuerta::de(QObject* ventana)
{
    return ventana ? ventana->findChild<AvisoPuerta*>(QStringLiteral("AvisoPuerta")) : nullptr;
}

bool AvisoPuerta::LecturaRepetida(const kv::UltimoMovimiento& u)
{
    const std::optional<int> s =
        kv::LecturaRepetida(u.fecha, u.hora, kv::Clock::instance().now(), ajustes_->segundosRepetida());
    if (!s) return false;
    Ocultar();   // the banner of the previous read is not this one's
    nombre_->setText(kv::TextoLecturaRepetida(*s));
    kv::SonarTono(kv::Tono::Repetida, ajustes_->tonosDistintos());
    return true;
}

void AvisoPuerta::MovimientoGuardado(const QString& modo)
{
    const bool entrada = modo == QLatin1String("E");
    lblDireccion->setText(entrada ? QStringLiteral("ENTRADA") : QStringLiteral("SALIDA"));
    lblDireccion->setStyleSheet(entrada ? QStringLiteral("background-color: #1e8c2e; color: white;")
                                        : QStringLiteral("background-color: #1f4fc1; color: white;"));
    lblDireccion->show();
    TmrDireccion->start();
    kv::SonarTono(entrada ? kv::Tono::Entrada : kv::Tono::Salida, ajustes_->tonosDistintos());
}

void AvisoPuerta::CodigoRechazado()
{
    kv::SonarTono(kv::Tono::Rechazo, ajustes_->tonosDistintos());
}

void AvisoPuerta::Ocultar()
{
    TmrDireccion->stop();
    lblDireccion->hide();
}
