#include "view/map/MapDialogs.h"

#include <QApplication>
#include <QColorDialog>

namespace view {

QColor ToQColor(map::Color c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

map::Color FromQColor(const QColor& c) {
    return static_cast<map::Color>(c.red() | c.green() << 8 | c.blue() << 16);
}

std::optional<map::Color> ChooseRoomColor(map::Color initial, QWidget* parent) {
    const QColor c = QColorDialog::getColor(ToQColor(initial), parent, "Quarvelin");
    if (!c.isValid()) return std::nullopt;
    return FromQColor(c);
}

void MapBeep() {
    QApplication::beep();
}

} // namespace view
