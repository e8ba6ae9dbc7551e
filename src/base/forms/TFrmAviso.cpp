#include "base/forms/TFrmAviso.h"
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace {
struct Notice {
    QPointer<QFrame> window;
    QLabel* label = nullptr;
    QProgressBar* bar = nullptr;
    int step = 1;
};
Notice& notice()
{
    static Notice n;
    return n;
}
void repaintNow()
{
    if (notice().window) {
        notice().window->repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}
} // namespace

void TFrmAviso::Mostrar(const QString& mensaje, bool centrado, bool conProgreso, int minimo, int maximo, int paso)
{
    Cerrar();
    auto* w = new QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    w->setObjectName(QStringLiteral("FrmAviso"));
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setFixedSize(429, 95);
    w->setFrameShape(QFrame::Panel);
    w->setFrameShadow(QFrame::Raised);
    w->setLineWidth(2);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QColor(255, 255, 225));   // tooltip colour
    w->setPalette(p);
    auto* l = new QVBoxLayout(w);
    auto* label = new QLabel(mensaje, w);
    label->setObjectName(QStringLiteral("LblMensaje"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont f(QStringLiteral("Courier New"));
    f.setPixelSize(12);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: navy;"));
    l->addWidget(label);
    auto* bar = new QProgressBar(w);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setRange(0, 100);
    bar->setVisible(false);
    l->addWidget(bar);
    if (conProgreso && maximo > 0) {
        bar->setRange(minimo, maximo);
        bar->setValue(minimo);
        bar->setVisible(true);
    }
    if (centrado) {
        const QRect s = QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry() : QRect(0, 0, 1024, 768);
        w->move(s.center() - QPoint(429 / 2, 95 / 2));
    }
    notice().window = w;
    notice().label = label;
    notice().bar = bar;
    notice().step = paso;
    w->show();
    repaintNow();
}

void TFrmAviso::PonerMensaje(const QString& mensaje)
{
    if (!notice().window) return;
    notice().label->setText(mensaje);
    repaintNow();
}

void TFrmAviso::Paso()
{
    if (!notice().window) return;
    notice().bar->setValue(notice().bar->value() + notice().step);
    repaintNow();
}

void TFrmAviso::Cerrar()
{
    if (notice().window) {
        notice().window->close();
        delete notice().window.data();
    }
    notice() = Notice();
}

QWidget* TFrmAviso::actual() { return notice().window.data(); }
