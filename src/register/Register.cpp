#include "register/Register.h"
#include "data/Query.h"

namespace kv {

int NextInternalNumber(const QString& dir, int grado, const QString& grupo)
{
    Query q;
    EjecutarSQL(dir, q,
                QStringLiteral("select iestudiante from estudiantes where igrado=? and igrupo=? "
                               "order by iestudiante desc"),
                {grado, grupo});
    if (q.isEmpty()) return -1;
    q.first();
    return int(q.fieldByName(QStringLiteral("Iestudiante")).asInteger());
}

} // namespace kv
