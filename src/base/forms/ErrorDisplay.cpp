#include "base/forms/ErrorDisplay.h"
#include "base/Messages.h"
#include "base/MyException.h"
#include <exception>
#if defined(__GNUG__)
#include <cxxabi.h>
#include <cstdlib>
#endif

namespace kv {

namespace {
QString currentTypeName()
{
#if defined(__GNUG__)
    if (const std::type_info* t = abi::__cxa_current_exception_type()) {
        int status = 0;
        char* name = abi::__cxa_demangle(t->name(), nullptr, nullptr, &status);
        const QString s = QString::fromLatin1(status == 0 && name ? name : t->name());
        std::free(name);
        return s;
    }
#endif
    return QStringLiteral("desconocido");
}
} // namespace

QString TextoExcepcionDesconocida(const QString& typeName)
{
    return QStringLiteral("An exception of type ") + typeName + QStringLiteral("\nwas thrown by line ")
           + QStringLiteral("desconocida") + QStringLiteral("\nof file ") + QStringLiteral("desconocido");
}

void MostrarExcepcion()
{
    try {
        throw;
    } catch (const MyException& e) {
        Messages::instance().showMessage(e.message(), QStringLiteral("Error"), MsgIcon::Error);
    } catch (const std::exception& e) {
        Messages::instance().showError(QString::fromUtf8(e.what()));
    } catch (...) {
        Messages::instance().showMessage(TextoExcepcionDesconocida(currentTypeName()));
    }
}

void MostrarExcepcion(std::exception_ptr error)
{
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (...) {
        MostrarExcepcion();
    }
}

} // namespace kv
