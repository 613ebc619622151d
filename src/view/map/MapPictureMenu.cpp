#include "view/map/MapPictureMenu.h"

#include <QApplication>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWidgetAction>

namespace view {

namespace {
constexpr int kRows = 5;

// Closes the submenu and the menus it opened from, as choosing an ordinary item would.
void CloseMenus() {
    for (int i = 0; i < 8; ++i) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) break;
        popup->close();
    }
}
} // namespace

QIcon NoPictureIcon(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.drawLine(size.width() - 1, 0, 0, size.height() - 1);
    return QIcon(pixmap);
}

void FillPictureMenu(QMenu* menu, const std::vector<QImage>& icons,
                     std::function<void(int)> nPictureClick) {
    menu->clear();
    auto* grid = new QWidget(menu);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (std::size_t k = 0; k < icons.size(); ++k) {
        const int tag = k == 0 ? -1 : static_cast<int>(k);
        auto* button = new QToolButton(grid);
        button->setObjectName(QString("nPicture%1").arg(tag));
        button->setAutoRaise(true);
        button->setFixedSize(icons[k].width() + 8, icons[k].height() + 6);
        button->setIconSize(icons[k].size());
        // Icon 0 is the dark-room mark; its button means "no picture" and shows an empty,
        // struck-out frame, so that it does not look like a gap in the grid.
        button->setIcon(tag > 0 ? QIcon(QPixmap::fromImage(icons[k]))
                                : NoPictureIcon(icons[k].size()));
        QObject::connect(button, &QToolButton::clicked, menu, [nPictureClick, tag] {
            CloseMenus();
            nPictureClick(tag);
        });
        layout->addWidget(button, static_cast<int>(k) % kRows, static_cast<int>(k) / kRows);
    }
    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(grid);
    menu->addAction(action);
}

} // namespace view
