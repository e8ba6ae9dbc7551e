#pragma once
// The settings the door reads on every code (repeated-read window, distinct tones), kept
// in memory and read again when the site's Config row changes, so a capture does not
// open the settings table.
#include <QObject>
#include <QString>
#include <memory>

namespace kv {

class Database;
struct RowChange;

class AjustesPuerta : public QObject {
    Q_OBJECT
public:
    // Reads the settings of the site in tables directory `dir`; with no site ("") the
    // defaults stay.
    explicit AjustesPuerta(const QString& dir, QObject* parent = nullptr);
    ~AjustesPuerta() override;

    int segundosRepetida() const { return segundosRepetida_; }
    bool tonosDistintos() const { return tonosDistintos_; }

    void leer();

private:
    QString dir_;
    std::shared_ptr<Database> db_;
    int segundosRepetida_ = 5;
    bool tonosDistintos_ = true;
};

} // namespace kv
