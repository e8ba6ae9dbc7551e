#pragma once
// The program's one error type. Every error a layer raises for the user to read (the local
// database, the server, a workbook, a report) is a kv::Error or derives from it, so a
// handler that only shows the message catches this one type.
#include <QString>
#include <stdexcept>

namespace kv {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& msg) : std::runtime_error(msg.toStdString()) {}
    // The message as the user reads it (Spanish).
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace kv
