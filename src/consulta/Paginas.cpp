#include "consulta/Paginas.h"
#include "consulta/Texto.h"
#include <QMap>

namespace kv::consulta {

namespace {

QString Documento(const QString& titulo, const QString& cuerpo)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                          "<title>%1</title><link rel=\"stylesheet\" href=\"/estilo.css\"></head>"
                          "<body>%2</body></html>\n")
        .arg(Html(titulo), cuerpo);
}

QString ConMarco(const Marco& m, const QString& titulo, const QString& cuerpo)
{
    const Contexto& c = m.contexto;
    QString h = QStringLiteral("<header><div class=\"sitio\">%1</div><div class=\"quien\">%2</div>"
                               "<form method=\"post\" action=\"/salir\" class=\"salir\">"
                               "<input type=\"hidden\" name=\"token\" value=\"%3\">"
                               "<button type=\"submit\" id=\"salir\">Salir</button></form></header>")
                    .arg(Html(c.nombreColegio), Html(c.cuenta.nombre), Html(m.tokenSalir));
    h += QStringLiteral("<nav><a href=\"/\">Inicio</a>");
    if (c.cuenta.nivel == 1)
        h += QStringLiteral("<a href=\"/dia\">Movimientos del día</a><a href=\"/dentro\">Quién está dentro</a>");
    h += QStringLiteral("</nav><p class=\"publicado\" id=\"publicado\">%1</p><main><h1>%2</h1>%3</main>")
             .arg(Html(TextoPublicado(c)), Html(titulo), cuerpo);
    return Documento(titulo + QStringLiteral(" - ") + c.nombreColegio, h);
}

QString Celda(const QString& etiqueta, const QString& valorHtml)
{
    return QStringLiteral("<td data-t=\"%1\">%2</td>").arg(Html(etiqueta), valorHtml);
}

QString EnlacePersona(const Persona& p)
{
    return QStringLiteral("<a href=\"/persona/%1\">%2</a>").arg(EnUrl(p.codigo), Html(p.nombre));
}

QString FormularioRango(const QString& accion, const QDate& desde, const QDate& hasta)
{
    return QStringLiteral("<form method=\"get\" action=\"%1\" class=\"rango\">"
                          "<label>Desde <input type=\"date\" name=\"desde\" value=\"%2\"></label>"
                          "<label>Hasta <input type=\"date\" name=\"hasta\" value=\"%3\"></label>"
                          "<button type=\"submit\">Ver</button></form>")
        .arg(Html(accion), desde.toString(Qt::ISODate), hasta.toString(Qt::ISODate));
}

QString TablaMovimientos(const QVector<Movimiento>& v, bool conPersona, bool conFecha)
{
    if (v.isEmpty()) return QStringLiteral("<p class=\"vacio\">No hay movimientos.</p>");
    QString h = QStringLiteral("<table class=\"movimientos\"><thead><tr>");
    if (conFecha) h += QStringLiteral("<th>Fecha</th>");
    h += QStringLiteral("<th>Hora</th>");
    if (conPersona) h += QStringLiteral("<th>Código</th><th>Nombre</th><th>Categoría</th><th>Grupo</th>");
    h += QStringLiteral("<th>Movimiento</th><th>Detalle</th></tr></thead><tbody>");
    for (const Movimiento& m : v) {
        h += QStringLiteral("<tr>");
        if (conFecha) h += Celda(QStringLiteral("Fecha"), Html(FechaTexto(m.fecha)));
        h += Celda(QStringLiteral("Hora"), Html(HoraTexto(m.hora)));
        if (conPersona) {
            const QString nombre = m.esPersona ? QStringLiteral("<a href=\"/persona/%1\">%2</a>").arg(EnUrl(m.codigo), Html(m.nombre))
                                               : Html(m.nombre);
            h += Celda(QStringLiteral("Código"), Html(m.codigo)) + Celda(QStringLiteral("Nombre"), nombre)
                 + Celda(QStringLiteral("Categoría"), m.esPersona ? QString::number(m.categoria) : QString())
                 + Celda(QStringLiteral("Grupo"), Html(m.grupo));
        }
        h += Celda(QStringLiteral("Movimiento"), Html(TextoMovimiento(m.tipo)))
             + Celda(QStringLiteral("Detalle"), Html(m.detalle).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</tbody></table>");
}

} // namespace

QString TextoPublicado(const Contexto& c)
{
    if (!c.publicadoFecha.isValid()) return QStringLiteral("Aún no hay movimientos publicados.");
    return QStringLiteral("Datos publicados hasta: ") + FechaHoraTexto(c.publicadoFecha, c.publicadoHora);
}

QString Estilo()
{
    return QStringLiteral(
        "*{box-sizing:border-box}"
        "body{margin:0;font:16px/1.4 system-ui,-apple-system,'Segoe UI',Roboto,Arial,sans-serif;color:#1d2733;background:#f3f5f8}"
        "header{display:flex;flex-wrap:wrap;align-items:center;gap:.5rem 1rem;padding:.75rem 1rem;background:#1f4e79;color:#fff}"
        ".sitio{font-weight:700;font-size:1.1rem;flex:1 1 auto}.quien{opacity:.9}"
        "header button{background:#fff;color:#1f4e79;border:0;border-radius:4px;padding:.4rem .9rem;font-weight:600}"
        "nav{display:flex;flex-wrap:wrap;gap:.25rem 1rem;padding:.5rem 1rem;background:#dce6f0}"
        "nav a{color:#1f4e79;font-weight:600;text-decoration:none}"
        ".publicado{margin:.5rem 1rem;color:#555;font-size:.9rem}"
        "main{padding:0 1rem 2rem;max-width:72rem}"
        "h1{font-size:1.35rem;margin:.75rem 0}"
        ".personas{display:grid;grid-template-columns:repeat(auto-fill,minmax(17rem,1fr));gap:1rem;padding:0;list-style:none}"
        ".persona{background:#fff;border-radius:6px;padding:1rem;box-shadow:0 1px 2px rgba(0,0,0,.12)}"
        ".persona h2{font-size:1.1rem;margin:0 0 .4rem}.persona p{margin:.25rem 0}"
        ".estado{font-weight:600;color:#1f6f43}"
        "table{border-collapse:collapse;width:100%;background:#fff;margin:.5rem 0}"
        "th,td{text-align:left;padding:.45rem .6rem;border-bottom:1px solid #e1e5ea;vertical-align:top}"
        "th{background:#eef2f6;font-size:.9rem}"
        "form.rango,form.buscar{display:flex;flex-wrap:wrap;gap:.5rem;align-items:end;margin:.5rem 0}"
        "input{font:inherit;padding:.4rem;border:1px solid #aab4bf;border-radius:4px;max-width:100%}"
        "button{font:inherit;cursor:pointer}"
        "main button,.entrar button{background:#1f4e79;color:#fff;border:0;border-radius:4px;padding:.45rem 1rem}"
        ".entrar{max-width:22rem;margin:3rem auto;background:#fff;padding:1.5rem;border-radius:6px;box-shadow:0 1px 3px rgba(0,0,0,.15)}"
        ".entrar label{display:block;margin:.75rem 0 .25rem}.entrar input{width:100%}.entrar button{margin-top:1rem;width:100%}"
        ".mensaje{color:#a11;font-weight:600}"
        ".totales{max-width:24rem}.totales td:last-child,.totales th:last-child{text-align:right}"
        "@media (max-width:40rem){"
        "table.movimientos thead,table.lista thead{display:none}"
        "table.movimientos tr,table.lista tr{display:block;border-bottom:2px solid #d5dbe2;padding:.25rem 0}"
        "table.movimientos td,table.lista td{display:flex;border:0;padding:.15rem .6rem}"
        "table.movimientos td::before,table.lista td::before{content:attr(data-t);font-weight:600;min-width:7.5rem;color:#555}}\n");
}

QString PaginaEntrar(const QString& mensaje, const QString& token, const QString& documento)
{
    QString h = QStringLiteral("<form method=\"post\" action=\"/entrar\" class=\"entrar\" id=\"entrar\">"
                               "<h1>Consulta en línea</h1>");
    if (!mensaje.isEmpty()) h += QStringLiteral("<p class=\"mensaje\" id=\"mensaje\">%1</p>").arg(Html(mensaje));
    h += QStringLiteral("<label for=\"documento\">Documento</label>"
                        "<input id=\"documento\" name=\"documento\" value=\"%1\" autocomplete=\"username\" required>"
                        "<label for=\"clave\">Clave</label>"
                        "<input id=\"clave\" name=\"clave\" type=\"password\" autocomplete=\"current-password\" required>"
                        "<input type=\"hidden\" name=\"token\" value=\"%2\">"
                        "<button type=\"submit\" id=\"btnEntrar\">Entrar</button></form>")
             .arg(Html(documento), Html(token));
    return Documento(QStringLiteral("Consulta en línea"), h);
}

QString PaginaEleccion(const QVector<OpcionColegio>& colegios, const QString& eleccion, const QString& token)
{
    QString h = QStringLiteral("<form method=\"post\" action=\"/sitio\" class=\"entrar\" id=\"eleccion\">"
                               "<h1>Escoja el colegio</h1>"
                               "<input type=\"hidden\" name=\"eleccion\" value=\"%1\">"
                               "<input type=\"hidden\" name=\"token\" value=\"%2\">")
                    .arg(Html(eleccion), Html(token));
    for (const OpcionColegio& c : colegios)
        h += QStringLiteral("<button type=\"submit\" name=\"colegio\" value=\"%1\">%2</button>")
                 .arg(c.icolegio)
                 .arg(Html(c.nombre));
    return Documento(QStringLiteral("Escoja el colegio"), h + QStringLiteral("</form>"));
}

QString PaginaFamilia(const Marco& m, const QVector<Persona>& personas, const QDate& desde, const QDate& hasta)
{
    if (personas.isEmpty())
        return ConMarco(m, QStringLiteral("Sus estudiantes"),
                        QStringLiteral("<p class=\"vacio\">No hay estudiantes publicados para su documento.</p>"));
    QString h = QStringLiteral("<ul class=\"personas\">");
    for (const Persona& p : personas) {
        h += QStringLiteral("<li class=\"persona\"><h2>%1</h2>"
                            "<p>Código: %2 · Categoría: %3 · Grupo: %4</p>"
                            "<p class=\"estado\">%5</p>"
                            "<p>Días con entrada del %6 al %7: %8</p>"
                            "<p><a href=\"/persona/%9\">Ver movimientos</a></p></li>")
                 .arg(Html(p.nombre), Html(p.codigo), QString::number(p.categoria), Html(p.grupo),
                      Html(EstadoTexto(p.tipoHoy, p.horaHoy)), Html(FechaTexto(desde)), Html(FechaTexto(hasta)),
                      QString::number(p.diasConEntrada), EnUrl(p.codigo));
    }
    return ConMarco(m, QStringLiteral("Sus estudiantes"), h + QStringLiteral("</ul>"));
}

QString PaginaPersonal(const Marco& m, const QString& texto, const QVector<Persona>& personas)
{
    QString h = QStringLiteral("<form method=\"get\" action=\"/\" class=\"buscar\">"
                               "<label>Nombre o código <input name=\"q\" id=\"q\" value=\"%1\"></label>"
                               "<button type=\"submit\">Buscar</button></form>")
                    .arg(Html(texto));
    h += QStringLiteral("<p>%1 personas</p>").arg(personas.size());
    if (!personas.isEmpty()) {
        h += QStringLiteral("<table class=\"lista\"><thead><tr><th>Código</th><th>Nombre</th><th>Categoría</th>"
                            "<th>Grupo</th><th>Hoy</th></tr></thead><tbody>");
        for (const Persona& p : personas)
            h += QStringLiteral("<tr>") + Celda(QStringLiteral("Código"), Html(p.codigo))
                 + Celda(QStringLiteral("Nombre"), EnlacePersona(p))
                 + Celda(QStringLiteral("Categoría"), QString::number(p.categoria))
                 + Celda(QStringLiteral("Grupo"), Html(p.grupo))
                 + Celda(QStringLiteral("Hoy"), Html(EstadoTexto(p.tipoHoy, p.horaHoy))) + QStringLiteral("</tr>");
        h += QStringLiteral("</tbody></table>");
    }
    return ConMarco(m, QStringLiteral("Personas"), h);
}

QString PaginaPersona(const Marco& m, const Persona& p, const QVector<Movimiento>& movimientos, const QDate& desde,
                      const QDate& hasta, int dias)
{
    QString h = QStringLiteral("<div class=\"persona\"><p>Código: %1 · Categoría: %2 · Grupo: %3</p>"
                               "<p class=\"estado\">%4</p></div>")
                    .arg(Html(p.codigo), QString::number(p.categoria), Html(p.grupo),
                         Html(EstadoTexto(p.tipoHoy, p.horaHoy)));
    h += FormularioRango(QStringLiteral("/persona/") + EnUrl(p.codigo), desde, hasta);
    h += QStringLiteral("<p id=\"dias\">Días con entrada del %1 al %2: %3</p>")
             .arg(Html(FechaTexto(desde)), Html(FechaTexto(hasta)))
             .arg(dias);
    h += TablaMovimientos(movimientos, false, true);
    return ConMarco(m, p.nombre, h);
}

QString PaginaDia(const Marco& m, const QDate& dia, const QVector<Movimiento>& movimientos)
{
    QString h = QStringLiteral("<form method=\"get\" action=\"/dia\" class=\"rango\">"
                               "<label>Fecha <input type=\"date\" name=\"fecha\" value=\"%1\"></label>"
                               "<button type=\"submit\">Ver</button></form>")
                    .arg(dia.toString(Qt::ISODate));
    h += TablaMovimientos(movimientos, true, false);
    return ConMarco(m, QStringLiteral("Movimientos del ") + FechaTexto(dia), h);
}

QString PaginaDentro(const Marco& m, const QDate& hoy, const QVector<Movimiento>& dentro)
{
    QMap<int, int> porCategoria;
    int visitantes = 0;
    for (const Movimiento& x : dentro) {
        if (x.esPersona) ++porCategoria[x.categoria];
        else ++visitantes;
    }
    QString h = QStringLiteral("<table class=\"totales\" id=\"totales\"><thead><tr><th>Categoría</th><th>Dentro</th></tr>"
                               "</thead><tbody>");
    for (auto it = porCategoria.cbegin(); it != porCategoria.cend(); ++it)
        h += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(it.key()).arg(it.value());
    if (visitantes) h += QStringLiteral("<tr><td>Visitantes</td><td>%1</td></tr>").arg(visitantes);
    h += QStringLiteral("<tr><th>Total</th><th>%1</th></tr></tbody></table>").arg(dentro.size());
    if (dentro.isEmpty()) {
        h += QStringLiteral("<p class=\"vacio\">Nadie está dentro según los datos publicados.</p>");
    } else {
        h += QStringLiteral("<table class=\"lista\"><thead><tr><th>Código</th><th>Nombre</th><th>Categoría</th>"
                            "<th>Grupo</th><th>Entró</th></tr></thead><tbody>");
        for (const Movimiento& x : dentro) {
            const QString nombre = x.esPersona ? QStringLiteral("<a href=\"/persona/%1\">%2</a>").arg(EnUrl(x.codigo), Html(x.nombre))
                                               : Html(x.nombre);
            h += QStringLiteral("<tr>") + Celda(QStringLiteral("Código"), Html(x.codigo))
                 + Celda(QStringLiteral("Nombre"), nombre)
                 + Celda(QStringLiteral("Categoría"), x.esPersona ? QString::number(x.categoria) : QStringLiteral("Visitante"))
                 + Celda(QStringLiteral("Grupo"), Html(x.grupo)) + Celda(QStringLiteral("Entró"), Html(HoraTexto(x.hora)))
                 + QStringLiteral("</tr>");
        }
        h += QStringLiteral("</tbody></table>");
    }
    return ConMarco(m, QStringLiteral("Quién está dentro hoy, ") + FechaTexto(hoy), h);
}

QString PaginaNoEncontrada()
{
    return Documento(QStringLiteral("No encontrado"),
                     QStringLiteral("<main class=\"entrar\"><h1>No encontrado</h1><p>La página pedida no existe.</p>"
                                    "<p><a href=\"/\">Volver al inicio</a></p></main>"));
}

QString PaginaError(const QString& mensaje)
{
    return Documento(QStringLiteral("Consulta en línea"),
                     QStringLiteral("<main class=\"entrar\"><h1>Consulta en línea</h1><p class=\"mensaje\">%1</p>"
                                    "<p><a href=\"/\">Volver al inicio</a></p></main>")
                         .arg(Html(mensaje)));
}

} // namespace kv::consulta
