#include "gui/app/AboutBox.h"

#include "core/settings/Version.h"

#include "gui/app/AppIcon.h"
#include "gui/widgets/DialogFrame.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace zelv {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    SetFixedDialogFrame(this);
    auto* column = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(panel);
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ZelvanoIcon().pixmap(64, 64));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    ProductName = new QLabel(QStringLiteral("Zelvano For Windows"), panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() > 0 ? big.pointSize() + 4 : 13);
    ProductName->setFont(big);
    Version = new QLabel(panel);
    Version->setObjectName(QStringLiteral("Version"));
    auto* comment = new QLabel(QStringLiteral("Deals contract-bridge boards to order,\n"
                                              "for the Duplimate dealing machine and for print."),
                               panel);
    comment->setObjectName(QStringLiteral("Comments"));
    texts->addWidget(ProductName);
    texts->addWidget(Version);
    texts->addSpacing(8);
    texts->addWidget(comment);
    row->addLayout(texts);
    column->addWidget(panel);
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    column->addWidget(OKButton, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // Escape closes the box as well: the button is the cancel button too.
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        Version->setText(QStringLiteral("Version ") +
                         QString::fromLatin1(ZelvanoVersion.data(), ZelvanoVersion.size()));
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
        OKButton->setFocus();
    }
}

} // namespace zelv
