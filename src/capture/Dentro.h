#pragma once
// Who is inside now: every code whose last stored movement is an entry, for an evacuation
// roll call at the door. The list is read in one statement from the site's table of each
// code's last movement, so its cost follows the number of codes, not of stored movements.
#include <QDate>
#include <QHash>
#include <QString>
#include <QTime>
#include <QVector>
#include <functional>
#include <iterator>
#include <memory>

namespace kv {

class Database;

struct PersonaDentro {
    QString codigo;
    QString nombre;        // from the register; the movement's name when not registered
    bool visitante = false;
    bool registrado = false; // a person still in the register (visitors: false)
    QString igrado;        // category and group of the register ("" for visitors and the
    QString igrupo;        // persons no longer registered)
    QString dependencia;   // visitors: the destination written at their entry
    QDate fecha;           // of the entry
    QTime hora;
    QString claveNombre;   // the name folded for sorting (accents ignored, Ñ after N)
};

struct TotalDentro {
    QString igrado;
    QString igrupo;
    int cantidad = 0;
    bool esCategoria = false;   // the whole category, before its groups
};

// The rows of the list, kept in roll-call order: persons by category, group and name; then
// persons no longer registered; then visitors. Each row lives in its own place and the order
// is a vector of pointers, so a capture moves pointers, never rows, and finds a code's row
// through a hash instead of a walk.
class FilasDentro {
    struct Fila;
public:
    FilasDentro() = default;
    FilasDentro(const FilasDentro& o);
    FilasDentro(FilasDentro&& o) noexcept = default;
    FilasDentro& operator=(const FilasDentro& o);
    FilasDentro& operator=(FilasDentro&& o) noexcept;
    ~FilasDentro();

    int size() const { return int(orden_.size()); }
    bool isEmpty() const { return orden_.isEmpty(); }
    const PersonaDentro& operator[](int i) const;
    const PersonaDentro& last() const { return (*this)[size() - 1]; }

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = PersonaDentro;
        using difference_type = std::ptrdiff_t;
        using pointer = const PersonaDentro*;
        using reference = const PersonaDentro&;
        explicit const_iterator(const Fila* const* f) : f_(f) {}
        reference operator*() const;
        pointer operator->() const { return &**this; }
        const_iterator& operator++() { ++f_; return *this; }
        const_iterator operator++(int) { auto t = *this; ++f_; return t; }
        const_iterator& operator--() { --f_; return *this; }
        const_iterator operator+(difference_type n) const { return const_iterator(f_ + n); }
        difference_type operator-(const const_iterator& o) const { return f_ - o.f_; }
        bool operator==(const const_iterator& o) const { return f_ == o.f_; }
        bool operator!=(const const_iterator& o) const { return f_ != o.f_; }
    private:
        const Fila* const* f_;
    };
    const_iterator begin() const { return const_iterator(orden_.constData()); }
    const_iterator end() const { return const_iterator(orden_.constData() + orden_.size()); }

    // Adds a row at the end, for a list made in order already (a printed list, a test).
    FilasDentro& operator<<(const PersonaDentro& p);
    // Puts a row in its place and returns its index; antesDePoner hears the index first.
    int insertar(PersonaDentro p, const std::function<void(int)>& antesDePoner = {});
    // The index of a code's row, -1 when the code is not listed.
    int buscar(const QString& codigo) const;
    // Takes out the row at index i and returns it.
    PersonaDentro quitar(int i);
    // Puts every row in order (after appending rows in any order).
    void ordenar();
    void clear();

private:
    void indexar(Fila* f);
    QVector<Fila*> orden_;
    QHash<QString, Fila*> porCodigo_;
};

struct ListaDentro {
    FilasDentro filas;
    int personas = 0;
    int visitantes = 0;
    int fueraDelRegistro = 0;   // persons whose code is no longer in the register
    // Registered persons per category, each followed by its groups, in category order.
    QVector<TotalDentro> totales;
    // The site the list was read from, kept open for the updates at each capture.
    std::shared_ptr<Database> sitio;
    QString sitioDir;
};

// Told of each row a capture takes out of or puts into a list, before and after, so a grid
// on screen can follow row by row instead of reading the whole list again.
class ObservadorDentro {
public:
    virtual ~ObservadorDentro() = default;
    virtual void antesDeQuitar(int fila) = 0;
    virtual void quitada() = 0;
    virtual void antesDePoner(int fila) = 0;
    virtual void puesta() = 0;
};

ListaDentro PersonasDentro(const QString& tablesDir);

// Brings a list up to date with the movements just stored under these row numbers: only
// their codes are read again, so a list kept on screen costs the door next to nothing.
void ActualizarDentro(ListaDentro& lista, const QString& tablesDir, const QVector<qint64>& rowids,
                      ObservadorDentro* observador = nullptr);

// "Dentro: N personas y M visitantes" (singular for one).
QString TextoTotalDentro(int personas, int visitantes);

// The destination of a visitor's entry detail "Dependencia a donde se dirige:<destino>...":
// the longest known destination the text goes on with, else the rest of its first line.
QString DependenciaDelDetalle(const QString& detalle, const QStringList& dependencias);

// The list as CSV with a header line; a value holding the separator, a quote or a line
// break is quoted.
QString DentroCSV(const ListaDentro& lista, QChar separador = QLatin1Char(';'));

} // namespace kv


