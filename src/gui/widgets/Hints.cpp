#include "gui/widgets/Hints.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPalette>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace zelv {

namespace {

class HintStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return HintWakeUpMs;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// Qt shows a tooltip for a time that grows with its text unless the widget
// names one; this gives every hint of the program the same display time.
class HintDuration : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->toolTip().isEmpty()) return false; // let the parent's hint show
        const int duration = w->toolTipDuration() > 0 ? w->toolTipDuration() : HintDisplayMs;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), w->toolTip(), w, QRect(), duration);
        return true;
    }
};

} // namespace

QColor HintColor() { return QColor(255, 254, 206); }

void InstallHintLook(QApplication& app) {
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, HintColor());
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);
    QPalette pal = QApplication::palette();
    pal.setColor(QPalette::ToolTipBase, HintColor());
    pal.setColor(QPalette::ToolTipText, Qt::black);
    QApplication::setPalette(pal);
    app.setStyle(new HintStyle(app.style()->name()));
    app.installEventFilter(new HintDuration(&app));
}

} // namespace zelv
