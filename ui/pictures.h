// The Settings window's pictures, drawn at run time so the program needs no image files: the
// maker's logo and the panel that stands in for the expert groups at the normal view level.
#pragma once

#include <QPixmap>

namespace velta {

QPixmap MakerLogo();
QPixmap NormalViewPicture();

}  // namespace velta
