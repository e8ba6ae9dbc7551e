#include "app/forms/KvApplication.h"
#include "base/forms/ErrorDisplay.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QTranslator>
#include <clocale>

namespace {
// Hints show after 100 ms instead of the style's usual delay.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return 100;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
} // namespace

KvApplication::KvApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Qt takes the desktop's regional settings for the C library too; the program's own
    // numbers are written and read with "." whatever they say (the desktop's settings
    // themselves are left as they are).
    std::setlocale(LC_NUMERIC, "C");
    setStyle(new HintStyle);
    loadQtSpanish(*this);
}

QTranslator* KvApplication::loadQtSpanish(QCoreApplication& app)
{
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !app.installTranslator(qt)) {
        delete qt;
        return nullptr;
    }
    return qt;
}

bool KvApplication::notify(QObject* receiver, QEvent* event) { return deliverGuarded(this, receiver, event); }

bool KvApplication::deliverGuarded(QApplication* app, QObject* receiver, QEvent* event)
{
    try {
        return app->QApplication::notify(receiver, event);
    } catch (...) {
        kv::MostrarExcepcion();
        return false;
    }
}
