#include "DemoSite.h"

#include "Pictures.h"
#include "data/Database.h"
#include "data/Schema.h"

#include <QDir>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QStringList>
#include <QVector>

#include <algorithm>

namespace admin {

namespace {

// Fixed seed: the same day always gives the same demo site.
constexpr quint32 kSeed = 20110301;

class Dice {
public:
    explicit Dice(quint32 seed) : g_(seed) {}
    int below(int n) { return int(g_.bounded(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const QVector<T>& v) { return v.at(below(int(v.size()))); }
    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar(u'0' + below(10));
        return s;
    }
    QRandomGenerator& generator() { return g_; }

private:
    QRandomGenerator g_;
};

const QVector<QString> kSurnames = {
    "GARCÍA", "RODRÍGUEZ", "MARTÍNEZ", "LÓPEZ", "GONZÁLEZ", "PÉREZ", "SÁNCHEZ", "RAMÍREZ",
    "TORRES", "FLÓREZ", "DÍAZ", "GÓMEZ", "MUÑOZ", "ÁLVAREZ", "ROJAS", "MORENO", "JIMÉNEZ",
    "CASTAÑO", "OSORIO", "MONTOYA", "GUTIÉRREZ", "VARGAS", "CASTRO", "ORTIZ", "RUIZ",
    "HERNÁNDEZ", "AGUDELO", "CARDONA", "ZAPATA", "QUIÑONES", "ARIAS", "BEDOYA", "NÚÑEZ",
    "PEÑA", "ACEVEDO", "SALAZAR", "VALENCIA", "ESCOBAR", "RÍOS", "OCAMPO", "MEJÍA", "GIRALDO",
    "RESTREPO", "HENAO", "BETANCUR", "YEPES", "IBÁÑEZ", "MONTAÑO", "CAICEDO", "PATIÑO",
    "LONDOÑO", "ZULUAGA", "URIBE", "QUINTERO"};
const QVector<QString> kBoys = {
    "JUAN", "CARLOS", "ANDRÉS", "SANTIAGO", "SEBASTIÁN", "MATEO", "NICOLÁS", "SAMUEL", "DAVID",
    "JOSÉ", "MIGUEL", "ÁNGEL", "TOMÁS", "JULIÁN", "ESTEBAN", "FELIPE", "DANIEL", "ALEJANDRO",
    "SIMÓN", "MARTÍN", "JERÓNIMO", "EMILIANO", "JESÚS", "IVÁN", "RUBÉN", "JOAQUÍN", "MATÍAS",
    "AGUSTÍN", "BRAYAN", "KEVIN"};
const QVector<QString> kGirls = {
    "MARÍA", "VALENTINA", "ISABELLA", "SOFÍA", "MARIANA", "DANIELA", "LUCÍA", "SALOMÉ",
    "VALERIA", "CAMILA", "ANA", "LAURA", "GABRIELA", "XIMENA", "JIMENA", "ANTONELLA", "MARTINA",
    "SARA", "NATALIA", "PAULA", "ANDREA", "CAROLINA", "VERÓNICA", "MÓNICA", "INÉS", "ROCÍO",
    "NOEMÍ", "ZOÉ"};
const QVector<QString> kMothers = {
    "LUZ MARINA", "MARTHA CECILIA", "GLORIA INÉS", "ÁNGELA MARÍA", "SANDRA MILENA",
    "BLANCA NIEVES", "OLGA LUCÍA", "ADRIANA PATRICIA", "DIANA MARCELA", "ROSA ELENA",
    "CLAUDIA PATRICIA", "MARÍA EUGENIA", "LILIANA", "YOLANDA"};
const QVector<QString> kFathers = {
    "JOSÉ ANTONIO", "LUIS FERNANDO", "JORGE ELIÉCER", "HERNÁN DARÍO", "CÉSAR AUGUSTO",
    "RAMÓN ELÍAS", "JAIRO ALBERTO", "WILSON", "JOHN JAIRO", "FABIO NELSON", "ÓSCAR IVÁN",
    "EDGAR", "GUSTAVO ADOLFO"};
const QVector<QString> kStreets = {"CALLE", "CARRERA", "DIAGONAL", "TRANSVERSAL", "CIRCULAR"};
const QVector<QString> kInsurers = {"SURA", "SANITAS", "NUEVA EPS", "SALUD TOTAL", "COOMEVA",
                                    "COMPENSAR", "SAVIA SALUD", "FAMISANAR"};
const QVector<QString> kBlood = {"O+", "O+", "O+", "A+", "A+", "B+", "AB+", "O-", "A-"};
const QVector<QString> kRemarks = {
    "", "", "", "", "", "", "Alérgico a la penicilina", "Usa lentes", "Asma leve; porta inhalador",
    "Hermano en otro grupo", "Llega en ruta escolar", "Beca de la alcaldía"};
const QVector<QString> kEarlyExit = {
    "Cita médica", "Calamidad doméstica", "Se siente enfermo. Lo recoge la mamá",
    "Permiso firmado por coordinación\nRecoge: acudiente", "Cita odontológica",
    "Representa al colegio en los juegos intercolegiados"};

const QStringList kCategoryNames = {"Transición", "Primero", "Segundo", "Tercero",
                                    "Cuarto", "Quinto", "Sexto", "Séptimo",
                                    "Octavo", "Noveno", "Décimo", "Undécimo"};
// Groups per category.
const int kGroupsPer[12] = {2, 3, 2, 3, 2, 3, 3, 3, 2, 2, 2, 2};

const QStringList kDestinations = {
    "Rectoría", "Coordinación académica", "Coordinación de convivencia", "Secretaría",
    "Tesorería", "Biblioteca", "Enfermería", "Orientación escolar", "Sala de profesores",
    "Restaurante escolar", "Aula múltiple"};

struct Subject {
    QString id;
    QString name;
    int hours;
    QString area;   // which teachers give it
};

QVector<Subject> subjectsFor(int category)
{
    if (category == 0)
        return {{"DCOG", "Dimensión cognitiva", 5, "aula"},
                {"DCOM", "Dimensión comunicativa", 5, "aula"},
                {"DCOR", "Dimensión corporal", 3, "aula"},
                {"DEST", "Dimensión estética", 3, "aula"},
                {"DSOC", "Dimensión socioafectiva", 2, "aula"},
                {"DETI", "Dimensión ética", 2, "aula"}};
    if (category <= 5)
        return {{"MATE", "Matemáticas", 5, "aula"},
                {"ESPA", "Lengua castellana", 5, "aula"},
                {"CNAT", "Ciencias naturales", 3, "aula"},
                {"SOCI", "Ciencias sociales", 3, "aula"},
                {"INGL", "Inglés", 2, "ingl"},
                {"EFIS", "Educación física", 2, "efis"},
                {"ARTE", "Educación artística", 2, "aula"},
                {"ETIC", "Ética y valores", 1, "aula"},
                {"RELI", "Educación religiosa", 1, "aula"},
                {"TECN", "Tecnología e informática", 1, "tecn"}};
    if (category <= 9)
        return {{"MATE", "Matemáticas", 5, "mate"},
                {"ESPA", "Lengua castellana", 4, "espa"},
                {"CNAT", "Ciencias naturales", 4, "cnat"},
                {"SOCI", "Ciencias sociales", 4, "soci"},
                {"INGL", "Inglés", 3, "ingl"},
                {"EFIS", "Educación física", 2, "efis"},
                {"ARTE", "Educación artística", 1, "arte"},
                {"ETIC", "Ética y valores", 1, "etic"},
                {"RELI", "Educación religiosa", 1, "etic"},
                {"TECN", "Tecnología e informática", 2, "tecn"}};
    return {{"MATE", "Matemáticas", 4, "mate"},
            {"ESPA", "Lengua castellana", 3, "espa"},
            {"FISI", "Física", 3, "fisi"},
            {"QUIM", "Química", 3, "quim"},
            {"CPOL", "Ciencias políticas y económicas", 1, "soci"},
            {"FILO", "Filosofía", 2, "filo"},
            {"INGL", "Inglés", 3, "ingl"},
            {"EFIS", "Educación física", 2, "efis"},
            {"ETIC", "Ética y valores", 1, "etic"},
            {"TECN", "Tecnología e informática", 2, "tecn"}};
}

struct Teacher {
    QString id;
    QString name;
};

struct Person {
    int category;
    QString group;
    QString code;
    QString name;
    QString doc;
    int docType;
    bool comes;   // suspended and cancelled persons do not come to school
};

struct Movement {
    QTime time;
    QString code;
    int docType;
    QString doc;
    QString name;
    QString type;
    QString detail;
};

QString personName(Dice& d, bool girl)
{
    QString n = d.pick(kSurnames) + ' ' + d.pick(kSurnames) + ' ' + d.pick(girl ? kGirls : kBoys);
    if (d.chance(55)) {
        QString second = d.pick(girl ? kGirls : kBoys);
        if (!n.endsWith(second)) n += ' ' + second;
    }
    return n;
}

QString address(Dice& d)
{
    return QStringLiteral("%1 %2 # %3-%4")
        .arg(d.pick(kStreets))
        .arg(d.between(1, 120))
        .arg(d.between(1, 99))
        .arg(d.between(1, 99), 2, 10, QLatin1Char('0'));
}

QString mobile(Dice& d) { return QStringLiteral("3") + QString::number(d.between(0, 2)) + d.digits(8); }

QTime timeBetween(Dice& d, QTime from, QTime to)
{
    return from.addSecs(d.below(from.secsTo(to) + 1));
}

} // namespace

DemoSummary buildDemoSite(const QString& dir, const QDate& today)
{
    kv::createSite(dir);
    auto db = kv::Database::forDirectory(dir);
    Dice d(kSeed);
    DemoSummary sum;

    const QString photoExt =
        QImageWriter::supportedImageFormats().contains("jpeg") ? QStringLiteral(".jpg") : QStringLiteral(".png");
    const QString photoDir = QDir(dir).filePath(QStringLiteral("imagenes"));
    QDir().mkpath(photoDir);

    // One transaction: thousands of rows, one flush to disk.
    kv::Transaction tx(*db);

    // Teachers: one class teacher per primary group, then the subject teachers of secondary.
    QVector<Teacher> teachers;
    auto newTeacher = [&](bool woman) {
        const QString given = woman ? d.pick(kMothers) : d.pick(kFathers);
        Teacher t{QString::number(d.between(10, 99)) + d.digits(6),
                  given + ' ' + d.pick(kSurnames) + ' ' + d.pick(kSurnames)};
        teachers.append(t);
        return int(teachers.size()) - 1;
    };
    QVector<QPair<QString, QVector<int>>> areas;   // area -> teachers
    const QVector<QPair<QString, int>> areaSizes = {{"mate", 2}, {"espa", 2}, {"cnat", 1},
                                                    {"soci", 2}, {"ingl", 2}, {"efis", 1},
                                                    {"arte", 1}, {"etic", 1}, {"tecn", 1},
                                                    {"fisi", 1}, {"quim", 1}, {"filo", 1}};
    for (const auto& a : areaSizes) {
        QVector<int> ids;
        for (int i = 0; i < a.second; ++i) ids.append(newTeacher(d.chance(50)));
        areas.append({a.first, ids});
    }
    auto areaTeacher = [&](const QString& area, int groupNo) {
        for (const auto& a : areas)
            if (a.first == area) return a.second.at(groupNo % a.second.size());
        return 0;
    };

    // Categories, groups, subjects and who teaches what.
    int secondaryGroup = 0;
    QVector<Person> persons;
    int registration = 2015001;
    const QVector<QString> groupMessages = {"", "", "", "Bienvenidos", "Izada bandera",
                                            "Salida 2 pm", "Jornada cult"};
    for (int cat = 0; cat < kCategoryNames.size(); ++cat) {
        db->exec("INSERT INTO AbaGrados (IGrado, NGrado) VALUES (?, ?)", {cat, kCategoryNames[cat]});
        ++sum.categories;
        const QVector<Subject> subjects = subjectsFor(cat);
        for (const Subject& s : subjects)
            db->exec("INSERT INTO AbaMaterias (IGrado, IMateria, NMateria, IntHoraria, tipoNota, "
                     "ContarAplazarDefinitivo) VALUES (?, ?, ?, ?, ?, ?)",
                     {cat, s.id, s.name, s.hours, cat == 0 ? QStringLiteral("C") : QStringLiteral("N"), cat == 0 ? 0 : 1});

        for (int g = 0; g < kGroupsPer[cat]; ++g) {
            const QString group(QChar(u'A' + g));
            int director;
            if (cat <= 5) director = newTeacher(d.chance(80));
            else director = areaTeacher(areaSizes[secondaryGroup % areaSizes.size()].first,
                                        secondaryGroup / int(areaSizes.size()));
            db->exec("INSERT INTO grupos (IGrado, IGrupo, IProfesor, NDirector, Mensaje) "
                     "VALUES (?, ?, ?, ?, ?)",
                     {cat, group, teachers[director].id, teachers[director].name, d.pick(groupMessages)});
            ++sum.groups;
            for (const Subject& s : subjects) {
                const int t = s.area == QLatin1String("aula") ? director
                                                              : areaTeacher(s.area, g + cat);
                db->exec("INSERT INTO MovMat (IGrado, IGrupo, IMateria, IProfesor) VALUES (?, ?, ?, ?)",
                         {cat, group, s.id, teachers[t].id});
            }
            if (cat > 5) ++secondaryGroup;

            // The persons of the group, numbered 0..n-1 as the add dialog would.
            const int count = d.between(13, 18);
            for (int n = 0; n < count; ++n) {
                const bool girl = d.chance(50);
                const QString name = personName(d, girl);
                const QString code = QString::number(cat) + group + QString::number(n) + QChar(char16_t(cat + 65));
                const QString doc = (cat < 2 ? QStringLiteral("11") : QStringLiteral("10")) + d.digits(8);
                const int docType = cat < 2 ? 4 : 1;   // civil register below seven, identity card above
                QString situation;
                const int roll = d.below(100);
                if (roll < 3) situation = QStringLiteral("SUSPENDIDO");
                else if (roll < 5) situation = QStringLiteral("C");
                else if (roll < 15) situation = QStringLiteral("N");
                else if (roll < 20) situation = QStringLiteral("R");
                else if (roll < 23) situation = QStringLiteral("P");
                else if (roll < 70) situation = QStringLiteral("M");

                const QDate born(today.year() - cat - 6, d.between(1, 12), d.between(1, 28));
                int age = today.year() - born.year();
                if (QDate(today.year(), born.month(), born.day()) > today) --age;

                const bool motherIsGuardian = d.chance(70);
                const QStringList surnames = name.split(' ');
                const QString guardian = motherIsGuardian
                                             ? surnames[1] + ' ' + d.pick(kSurnames) + ' ' + d.pick(kMothers)
                                             : surnames[0] + ' ' + d.pick(kSurnames) + ' ' + d.pick(kFathers);

                QString photo;
                if (d.chance(75)) {
                    photo = code + photoExt;
                    QRandomGenerator pics(kSeed + quint32(persons.size()));
                    if (!drawPortrait(pics).save(QDir(photoDir).filePath(photo)))
                        throw kv::DbError(QStringLiteral("No se pudo guardar la foto %1.").arg(photo));
                    ++sum.photos;
                }

                db->exec("INSERT INTO estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, "
                         "docIdent, tipoDocIdent, NumMatr, numCarnet, rh, sitSocial, situacion, idFoto, "
                         "fechaNac, edad, acudiente, docacud, telefacudiente, dirresacud, telefestud, "
                         "Direccion, EPS, observaciones) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                         {cat, group, n, name, code, doc, docType,
                          d.chance(90) ? registration++ : 0, d.chance(85) ? 1000 + int(persons.size()) : 0,
                          d.pick(kBlood), d.chance(8) ? QStringLiteral("D") : QString(), situation, photo,
                          born, age, guardian, QString::number(d.between(10, 98)) + d.digits(6),
                          mobile(d), address(d), d.chance(40) ? mobile(d) : QString(), address(d),
                          d.pick(kInsurers), d.pick(kRemarks)});
                persons.append({cat, group, code, name, doc, docType,
                                situation != QLatin1String("SUSPENDIDO") && situation != QLatin1String("C")});
            }
        }
    }
    sum.persons = int(persons.size());

    for (const Teacher& t : teachers)
        db->exec("INSERT INTO AbaProfesores (IProfesor, NProfesor) VALUES (?, ?)", {t.id, t.name});
    for (const QString& dest : kDestinations)
        db->exec("INSERT INTO dependencias (ndependencia) VALUES (?)", {dest});

    // Known visitors: some guardians, a supplier, officials.
    struct Visitor {
        QString doc;
        int docType;
        QString name;
        QDate lastDate;
        QTime lastTime;
        QString lastDestination;
    };
    QVector<Visitor> visitors;
    for (int i = 0; i < 14; ++i) {
        const bool foreigner = i == 5 || i == 11;
        visitors.append({foreigner ? QString::number(d.between(100000, 999999)) : QString::number(d.between(10, 98)) + d.digits(7),
                         foreigner ? 2 : 0,
                         d.pick(kSurnames) + ' ' + d.pick(kSurnames) + ' ' + (d.chance(50) ? d.pick(kMothers) : d.pick(kFathers)),
                         today.addDays(-d.between(30, 200)), QTime(d.between(7, 11), d.between(0, 59), d.between(0, 59)),
                         kDestinations[d.below(int(kDestinations.size()))]});
    }

    // Movements: entries in the morning, exits in the afternoon, on the school days of the
    // three weeks before today. Everybody is outside at the end of each day.
    QVector<QDate> days;
    for (QDate day = today.addDays(-21); day < today; day = day.addDays(1))
        if (day.dayOfWeek() <= 5) days.append(day);
    const QTime autoExit(17, 0);
    for (const QDate& day : days) {
        QVector<Movement> moves;
        for (const Person& p : persons) {
            if (!p.comes || d.chance(6)) continue;   // absent today
            const bool primary = p.category <= 5;
            QTime in = d.chance(3) ? timeBetween(d, QTime(7, 15), QTime(8, 40))
                                   : primary ? timeBetween(d, QTime(6, 40), QTime(7, 10))
                                             : timeBetween(d, QTime(6, 10), QTime(6, 58));
            moves.append({in, p.code, p.docType, p.doc, p.name, "E", QString()});
            if (d.chance(2)) {
                moves.append({timeBetween(d, QTime(9, 30), QTime(12, 0)), p.code, p.docType, p.doc,
                              p.name, "S", d.pick(kEarlyExit)});
            } else if (d.chance(1)) {   // left without passing the card: the timer closes the day
                moves.append({autoExit.addSecs(d.below(5)), p.code, p.docType, p.doc, p.name, "S",
                              QStringLiteral("Salida realizada por el sistema")});
            } else {
                QTime out = primary ? timeBetween(d, QTime(13, 30), QTime(13, 55))
                                    : timeBetween(d, QTime(14, 30), QTime(15, 10));
                moves.append({out, p.code, p.docType, p.doc, p.name, "S", QString()});
            }
        }
        // Visitors wear numbered badges that are handed back at the exit.
        const int visits = d.between(2, 5);
        for (int v = 0; v < visits; ++v) {
            Visitor& who = visitors[d.below(int(visitors.size()))];
            const QString badge = QStringLiteral("VISIT%1").arg(v + 1, 2, 10, QLatin1Char('0'));
            const QTime in = timeBetween(d, QTime(7, 30), QTime(11, 30));
            const QString dest = kDestinations[d.below(int(kDestinations.size()))];
            moves.append({in, badge, who.docType, who.doc, who.name, "E", dest});
            moves.append({in.addSecs(d.between(15, 90) * 60), badge, who.docType, who.doc, who.name, "S", QString()});
            who.lastDate = day;
            who.lastTime = in;
            who.lastDestination = dest;
        }
        std::stable_sort(moves.begin(), moves.end(),
                         [](const Movement& a, const Movement& b) { return a.time < b.time; });
        for (const Movement& m : moves)
            db->exec("INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, "
                     "nestudiante, tipomvt, detalle, subido) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0)",
                     {m.code, day, m.time, m.docType, m.doc, m.name, m.type, m.detail});
        sum.movements += int(moves.size());
    }

    for (const Visitor& v : visitors)
        db->exec("INSERT INTO visitantes (docIdent, tipoDocIdent, nombre, fechaUltVisit, horaUltVisit, "
                 "observaciones) VALUES (?, ?, ?, ?, ?, ?)",
                 {v.doc, v.docType, v.name, v.lastDate, v.lastTime, v.lastDestination});

    // Consultants: the staff, and the guardians of some persons with the generic password.
    const QVector<QPair<QString, QString>> staff = {{"43876512", "ROSA ELENA MÚNERA ARANGO"},
                                                    {"71654398", "HERNÁN DARÍO PEÑA OSORIO"},
                                                    {"32554109", "LILIANA CASTAÑO RÍOS"}};
    for (const auto& s : staff)
        db->exec("INSERT INTO consultantes (docIdent, nombre, clave, nivelConsulta) VALUES (?, ?, ?, 1)",
                 {s.first, s.second, s.first});
    const kv::ResultSet guardians = db->select(
        "SELECT docacud, acudiente FROM estudiantes WHERE IGrado >= 6 ORDER BY IGrado, IGrupo, IEstudiante");
    for (int i = 0; i < guardians.rows.size(); i += 4)
        db->exec("INSERT INTO consultantes (docIdent, nombre, clave, nivelConsulta) VALUES (?, ?, ?, 0)",
                 {guardians.rows[i][0], guardians.rows[i][1], guardians.rows[i][0]});
    if (!guardians.rows.isEmpty()) {
        sum.parentDocument = guardians.rows[0][0].toString();
        sum.parentPassword = sum.parentDocument;
    }
    sum.staffDocument = sum.staffPassword = staff.first().first;

    // The settings row that createSite left, with a logo drawn for the reports.
    const QString shield = QDir(dir).absoluteFilePath(QStringLiteral("escudo.png"));
    if (!drawShield().save(shield))
        throw kv::DbError(QStringLiteral("No se pudo guardar el escudo %1.").arg(shield));
    sum.adminPassword = QStringLiteral("admin");
    sum.capturePassword = QStringLiteral("puerta");
    db->exec("UPDATE Config SET iColegio = ?, NColegio = ?, Encabezado1 = ?, Encabezado2 = ?, "
             "FraseBltin = ?, Jornada = ?, rutaEscudo = ?, periodoactual = ?, clave = ?, "
             "claveConsultor = ?, NumHorasPierdeAnio = ?, anioactual = ?, horaSalidaAuto = ?",
             {101, QStringLiteral("Colegio Demo"),
              QStringLiteral("Institución Educativa Colegio Demo"),
              QStringLiteral("Aprobado por Resolución 0123 de 2005 - NIT 800.123.456-7"),
              QStringLiteral("Educamos para la vida"), QStringLiteral("Única"),
              QDir::toNativeSeparators(shield), today.month() <= 3 ? 1 : today.month() <= 6 ? 2 : today.month() <= 9 ? 3 : 4,
              sum.adminPassword, sum.capturePassword, 60, today.year(),
              QDateTime(QDate(1899, 12, 30), autoExit)});

    tx.commit();
    return sum;
}

} // namespace admin
