#pragma once
// Reads the parts of a written workbook (a zip archive) back, through libzip.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct zip;

namespace kv {

class ZipLeido {
public:
    // Opens the archive read-only; ok() is false when it is no readable zip.
    explicit ZipLeido(const QString& archivo);
    ~ZipLeido();
    ZipLeido(const ZipLeido&) = delete;
    ZipLeido& operator=(const ZipLeido&) = delete;

    bool ok() const { return zip_ != nullptr; }
    // The names of the parts, in the archive's order.
    QStringList nombres() const;
    // Hands the inflated bytes of a part to `trozo`, a piece at a time; false when the part
    // is missing or cannot be read whole (bad data, wrong checksum).
    bool leer(const QString& nombre, const std::function<void(const char*, qint64)>& trozo) const;
    // The whole part ("" when missing or unreadable).
    QByteArray parte(const QString& nombre) const;

private:
    struct zip* zip_ = nullptr;
};

} // namespace kv
