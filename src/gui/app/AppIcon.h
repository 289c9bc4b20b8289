#pragma once
#include <QIcon>
#include <QImage>

namespace zelv {
// The program's icon: a turtle-green tile with a white spade. The same
// drawing as packaging/org.zelvano.Zelvano.svg, which the desktop shows.
QIcon ZelvanoIcon();
// The icon drawn at `size` by `size` pixels.
QImage ZelvanoIconImage(int size);
} // namespace zelv
