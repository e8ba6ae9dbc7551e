#pragma once
// The roll call of who is inside now, printed for an evacuation: the site's title block,
// the moment and the totals, one line per person or visitor with a box to tick, and the
// totals per category and group at the end.
#include "capture/Dentro.h"
#include "reports/engine/PageModel.h"
#include "reports/engine/TitleBlock.h"
#include <QDateTime>

namespace kv::rpt {

PageModel InformeDentro(const TitleBlock& titulo, const ListaDentro& lista, const QDateTime& cuando);

} // namespace kv::rpt
