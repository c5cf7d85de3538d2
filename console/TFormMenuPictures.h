#pragma once
// The console's pictures, drawn at run time so no image files need installing: the product
// picture, the application icon, the "started" and "stopped" row images and the frames of
// the small animations.
#include <QIcon>
#include <QPixmap>

namespace velmora::pictures {

QPixmap Product(int width, int height);
QIcon Application();
QIcon Started();
QIcon Stopped();
// Frame `index` (0..count-1) of the busy animation, `size` pixels square.
QPixmap BusyFrame(int index, int count, int size);

} // namespace velmora::pictures
