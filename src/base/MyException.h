#pragma once
// The program's own exception. Constructing one appends a six-line record to
// LogError.txt in the working directory; copies do not log again.
#include <QString>
#include "base/Error.h"
#include <string>

class MyException : public kv::Error {
public:
    MyException(const char* message, int code = 0, const char* source = "", const char* user = "");
    MyException(const std::string& message, int code = 0, const std::string& source = std::string(),
                const std::string& user = std::string());
    MyException(const QString& message, int code = 0, const QString& source = QString(),
                const QString& user = QString());
    MyException(const MyException& other) = default;   // a copy writes nothing

    QString message() const { return message_; }
    int code() const { return code_; }
    QString user() const { return user_; }
    QString source() const { return source_; }

    // Name of the log file (in the working directory).
    static QString logFileName() { return QStringLiteral("LogError.txt"); }

private:
    void init(const QString& message, int code, const QString& source, const QString& user);
    void writeRecord() const;

    QString message_;
    int code_ = 0;
    QString user_;
    QString source_;
};

// Appends text + CR LF to a text file (ANSI, one byte per character), creating it when
// missing. Raises MyException("Error abriendo el archivo: " + fileName) when it cannot.
void AgregarLinea(const QString& fileName, const QString& text);
