#include "register/forms/TFrmPersonaBase.h"
#include "data/forms/FieldLimits.h"
#include <QDateEdit>
#include <QLineEdit>

void TFrmPersonaBase::limitarComunes()
{
    const std::pair<QLineEdit*, const char*> campos[] = {
        {EdNEstudiante, "NEstudiante"}, {edDocIdent, "docIdent"}, {edSitSocial, "sitSocial"},
        {edRH, "rh"}, {edIdFoto, "idFoto"}, {edCodigo, "codigo"}};
    for (const auto& [box, campo] : campos) kv::LimitarAlCampo(box, QStringLiteral("estudiantes"), QLatin1String(campo));
}

kv::PersonaDatos TFrmPersonaBase::leerComunes() const
{
    kv::PersonaDatos d;
    d.nombre = EdNEstudiante->text();
    d.numMatr = EdNumMatr->text();
    d.docIdent = edDocIdent->text();
    d.sitSocial = edSitSocial->text();
    d.numCarnet = edNumCarnet->text();
    d.rh = edRH->text();
    d.idFoto = edIdFoto->text();
    const bool sinFecha = !dtpFechaNac->specialValueText().isEmpty()
                          && dtpFechaNac->date() == dtpFechaNac->minimumDate();
    d.fechaNac = sinFecha ? QDate() : dtpFechaNac->date();
    d.codigo = edCodigo->text();
    return d;
}
