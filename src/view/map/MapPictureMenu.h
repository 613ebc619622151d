#pragma once
// The `nPicture` submenu of the room menu: one button per skin icon in columns of five, the
// first one (no icon) taking the picture away.

#include <QIcon>
#include <QImage>
#include <QSize>

#include <functional>
#include <vector>

class QMenu;

namespace view {

// "No picture": an empty, struck-out frame, the first entry wherever pictures are chosen.
QIcon NoPictureIcon(QSize size);

// Empties the menu and refills it from the icons; a click passes the button's tag (-1 for the
// first, k for icon k) and closes the menu chain.
void FillPictureMenu(QMenu* menu, const std::vector<QImage>& icons,
                     std::function<void(int)> nPictureClick);

} // namespace view
