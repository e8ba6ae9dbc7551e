#pragma once
// Reads the rows of a spreadsheet file one at a time, so a file of any length is never held
// in memory whole: .csv (comma or semicolon, quoted as RFC 4180, UTF-8 with or without a
// byte-order mark or Windows-1252) and .xlsx (the first sheet).
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace kv {

// A file that cannot be read as a spreadsheet; the message says why, in Spanish.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString& msg) : std::runtime_error(msg.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

class LectorFilas {
public:
    virtual ~LectorFilas() = default;
    // The next row's cells (a short row is not padded). False at the end of the file.
    virtual bool siguiente(QStringList& celdas) = 0;
    // Line of the file (csv) or row of the sheet (xlsx) where the last row began, from 1.
    int linea() const { return linea_; }

protected:
    int linea_ = 0;
};

// A reader for the file, chosen by its extension (.csv, .txt, .xlsx, any letter case).
// Raises ImportError when the file is missing, of another kind, or not readable.
std::unique_ptr<LectorFilas> AbrirHoja(const QString& archivo);

// Text of a Windows-1252 byte string (the code page of spreadsheets saved on Windows).
QString DesdeWindows1252(const QByteArray& bytes);

} // namespace kv
