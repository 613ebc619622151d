#pragma once
// The `nPicture` submenu of the room menu: one button per skin icon in columns of five, the
// first one (no icon) taking the picture away.

#include <QImage>

#include <functional>
#include <vector>

class QMenu;

namespace view {

// Empties the menu and refills it from the icons; a click passes the button's tag (-1 for the
// first, k for icon k) and closes the menu chain.
void FillPictureMenu(QMenu* menu, const std::vector<QImage>& icons,
                     std::function<void(int)> nPictureClick);

} // namespace view
