#pragma once
#include <QIcon>

namespace zelv {
// The program's icon: a turtle-green tile with a white spade.
QIcon ZelvanoIcon();
} // namespace zelv
