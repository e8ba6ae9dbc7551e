#pragma once
// Pictures for the demo site, drawn with shapes only (no text, so no fonts are needed).
#include <QImage>
#include <QRandomGenerator>

namespace admin {

// A head-and-shoulders picture of about passport size; the generator picks the colours.
QImage drawPortrait(QRandomGenerator& rng, int width = 120, int height = 160);
// A school shield for report headers.
QImage drawShield(int size = 200);

} // namespace admin
