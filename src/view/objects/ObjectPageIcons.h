#pragma once
// Tool bar pictures of the object page, drawn as vectors so that they stay sharp at any screen
// scale and look alike whatever icon theme the desktop has (Qt's own set lacks most of them).

#include <QIcon>

namespace view {

enum class ObjectGlyph {
    Save,
    Discard,
    ExpandAll,
    CollapseAll,
    AddNode,
    AddChild,
    Delete,
    Sort,
    Find,
    Replace,
    AddFromFile,
    GroupTell,
    ClanTell
};

QIcon ObjectPageIcon(ObjectGlyph glyph);

} // namespace view
