#pragma once
// The program's own pictures, drawn rather than shipped: the banner of the site choice
// and of the about box.
#include <QPixmap>

namespace kv {

QPixmap BannerPrograma(int width, int height);

} // namespace kv
