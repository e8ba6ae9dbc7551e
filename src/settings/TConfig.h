#pragma once
// The settings record of a site: the single row of its Config table, read anew by every
// record made (so it sees every change posted before). Made for each use, then destroyed.
#include <QDateTime>
#include <QString>
#include <exception>
#include <memory>

namespace kv {

class TableCursor;

class TConfig {
public:
    // With no site chosen (empty tables directory) every value stays empty or 0. An error
    // while reading is kept for error() and excepcion(); that value and the ones after it
    // stay empty or 0. The window that made the record decides whether to show it.
    TConfig();   // the chosen site's (TablesDir())
    explicit TConfig(const QString& dir);
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    int iColegio() const { return iColegio_; }
    QString NColegio() const { return NColegio_; }
    QString Encabezado1() const { return Encabezado1_; }
    QString Encabezado2() const { return Encabezado2_; }
    QString FraseBltin() const { return FraseBltin_; }
    QString Jornada() const { return Jornada_; }
    QString rutaEscudo() const { return rutaEscudo_; }
    short periodoactual() const { return periodoactual_; }
    QString clave() const { return clave_; }
    QString claveConsultor() const { return claveConsultor_; }
    int NumHorasPierdeAnio() const { return NumHorasPierdeAnio_; }
    short anioactual() const { return anioactual_; }
    QDateTime horaSalidaAuto() const { return horaSalidaAuto_; }
    // A code read again within this many seconds of its last movement records nothing
    // (0 = every read counts).
    int segundosRepetida() const { return segundosRepetida_; }
    // Entry, exit, refusal and repeated read each sound their own tone; off = one beep.
    bool tonosDistintos() const { return tonosDistintos_; }
    // First entry after this hour is a late arrival; 07:00:00 when unset or missing.
    QTime horaEntrada() const { return horaEntrada_; }
    static QTime horaEntradaPorDefecto() { return QTime(7, 0, 0); }

    // The error met while reading ("" = none), and the exception itself (null = none).
    QString error() const { return errorTexto_; }
    std::exception_ptr excepcion() const { return error_; }

    // Store one value in the row at once (posted). A failure raises and leaves the value
    // as it was.
    void setClaveConsultor(const QString& clave);
    void setRutaEscudo(const QString& ruta);

    // Not read from the table: the list layout and the include-cancelled flag of the
    // category and group lists, set by whoever prints them.
    int FormatoLista = 0;
    bool IncluirCancelados = false;

    // The stored list settings: layout of the group lists (1 = first layout) and whether
    // they include cancelled persons. A site made before these fields reads 1 and false.
    int formatoPlanilla() const { return formatoPlanilla_; }
    bool incluirCancelados() const { return incluirCancelados_; }
    // Stores both, adding the two fields to the Config table when it lacks them. A failure
    // raises and leaves the values as they were.
    void setListas(int formato, bool incluirCancelados);

private:
    void read();
    void store(const char* field, const QString& value, QString& member);

    std::unique_ptr<TableCursor> tbl_;
    std::exception_ptr error_;
    QString errorTexto_;
    int iColegio_ = 0;
    QString NColegio_, Encabezado1_, Encabezado2_, FraseBltin_, Jornada_, rutaEscudo_;
    short periodoactual_ = 0;
    QString clave_, claveConsultor_;
    int NumHorasPierdeAnio_ = 0;
    short anioactual_ = 0;
    QDateTime horaSalidaAuto_;
    int segundosRepetida_ = 5;
    bool tonosDistintos_ = true;
    QTime horaEntrada_ = horaEntradaPorDefecto();
    int formatoPlanilla_ = 1;
    bool incluirCancelados_ = false;
};

// Columns added after the first sites, read from the current row of a Config cursor;
// a site that lacks them, or an empty value, reads the default (5 seconds, distinct tones).
int LeerSegundosRepetida(const TableCursor& config);
bool LeerTonosDistintos(const TableCursor& config);

} // namespace kv
