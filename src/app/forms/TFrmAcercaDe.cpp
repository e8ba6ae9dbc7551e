#include "app/forms/TFrmAcercaDe.h"
#include "app/forms/Pictures.h"
#include "base/Version.h"
#include "platform/Desktop.h"
#include <QLabel>
#include <QVBoxLayout>

TFrmAcercaDe::TFrmAcercaDe(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAcercaDe"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);
    auto* root = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(kv::BannerPrograma(360, 120));
    root->addWidget(picture, 0, Qt::AlignHCenter);
    auto text = [this, root](const char* name, const QString& t, bool bold) {
        auto* l = new QLabel(t, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setBold(bold);
        if (bold) f.setPointSizeF(f.pointSizeF() * 1.4);
        l->setFont(f);
        root->addWidget(l);
        return l;
    };
    // The program's version as this box always wrote it, year and edition: 2011.1 -> "2011-1".
    text("LblVersion", QStringLiteral("Kelvora versión %1-%2").arg(KELVORA_VERSION_MAJOR).arg(KELVORA_VERSION_MINOR), true);
    text("LblDescripcion", QStringLiteral("Programa para el control de asistencia"), false);
    QLabel* web = text("LblWeb", kv::DireccionWebFabricante(), false);
    web->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}
