#pragma once
// The look of hints across the program: pale yellow tooltips that appear
// 200 ms after the pointer comes to rest and stay up for 8 seconds.
#include <QColor>

class QApplication;

namespace zelv {

inline constexpr int HintWakeUpMs = 200;
inline constexpr int HintDisplayMs = 8000;
QColor HintColor(); // red 255, green 254, blue 206

// Sets the tooltip palette, the wake-up delay (through a proxy style over
// the current style) and the display time of every widget's tooltip.
void InstallHintLook(QApplication& app);

} // namespace zelv
