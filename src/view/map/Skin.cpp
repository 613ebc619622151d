#include "view/map/Skin.h"

#include "files/FileSaver.h"
#include "files/IniFile.h"
#include "files/Paths.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <optional>

// Outside any namespace: the macro declares the resource's initialiser at global scope. The
// resource lives in a static library, so nothing would pull it in without this call.
static void InitSkinResource() {
    Q_INIT_RESOURCE(skin);
}

namespace view {
namespace fs = std::filesystem;

namespace {

constexpr int kIconSize = 16;
constexpr int kMinIconStripWidth = 80;
// 106 pictures and their darkened copies of a taller cell would take gigabytes; no map cell is
// that large, so such a strip counts as unusable.
constexpr int kMaxCell = 256;
// Coordinates beyond this cannot be meant (every rectangle is clipped to the cell anyway); they
// are treated as malformed so that no arithmetic on them can overflow.
constexpr long long kMaxCoordinate = 1 << 20;

const char* const kNoSkin = "noskin.ini";
const char* const kDefaultEntry = "Default 32x32";

// A name from the skin file, looked up beside it without regard to case. Names written on
// Windows may hold backslashes.
fs::path Locate(const fs::path& dir, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return storage::ResolveIgnoreCase(dir, storage::TextToPath(name));
}

// The image a skin names, or a null image when the key is empty or the file is missing or not
// an image. Read as bytes so that the format is recognised by content, whatever the extension.
QImage LoadNamedImage(const fs::path& dir, const std::string& name) {
    if (name.empty()) return {};
    const fs::path path = Locate(dir, name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    std::string bytes;
    if (!storage::ReadFile(path, bytes)) return {};
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                       static_cast<int>(std::min<std::size_t>(bytes.size(), INT32_MAX)));
    return image;
}

// `count` integers separated by ","; nullopt when anything else is there.
std::optional<std::vector<int>>
ParseIntegers(const storage::IniFile& ini, const std::string& section, const char* key, int count) {
    const std::optional<std::string> value = ini.Find(section, key);
    if (!value) return std::nullopt;
    std::vector<int> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = value->find(',', start);
        long long n = 0;
        const std::string_view part = std::string_view(*value).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!text::ParseInt(part, n) || n < -kMaxCoordinate || n > kMaxCoordinate)
            return std::nullopt;
        out.push_back(static_cast<int>(n));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (static_cast<int>(out.size()) != count) return std::nullopt;
    return out;
}

SkinGeometry ReadGeometry(const storage::IniFile& ini, const std::string& section) {
    SkinGeometry g;
    static const char* const kRectKeys[6] = {"NorthRect", "SouthRect", "WestRect",
                                             "EastRect",  "UpRect",    "DownRect"};
    for (int d = 0; d < 6; ++d)
        if (auto v = ParseIntegers(ini, section, kRectKeys[d], 4))
            g.exits[d] = QRect((*v)[0], (*v)[1], (*v)[2] - (*v)[0], (*v)[3] - (*v)[1]);
    if (auto v = ParseIntegers(ini, section, "IconPoint", 2)) {
        g.iconRowOffset = (*v)[0];
        g.iconColumnOffset = (*v)[1];
    }
    if (auto v = ParseIntegers(ini, section, "FillPoint", 2))
        g.fillPoint = QPoint((*v)[0], (*v)[1]);
    return g;
}

// The strip with every pixel of the key colour made transparent, premultiplied as painting
// wants it. The key is compared with its alpha, so a strip that already has transparency keeps
// its opaque pixels even when they share the key's colour channels.
QImage Keyed(const QImage& strip, QRgb key) {
    QImage out = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (line[x] == key) line[x] = 0;
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRgb PixelAt(const QImage& strip, int x, int y) {
    return strip.valid(x, y) ? strip.convertToFormat(QImage::Format_ARGB32).pixel(x, y) : 0;
}

// `amount` (out of 4) of `with` over every pixel, the pixel's alpha kept: how the map fades
// rooms and icons of other levels.
QImage Blend(const QImage& image, QColor with) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0) continue;
            auto mix = [&](int c, int w) { return (c * 3 + w * a / 255) / 4; };
            line[x] = qRgba(mix(qRed(p), with.red()), mix(qGreen(p), with.green()),
                            mix(qBlue(p), with.blue()), a);
        }
    }
    return out;
}

void CutIcons(SkinImageSet& set, const QImage& strip) {
    set.icons.clear();
    set.iconsGrey.clear();
    set.iconsDark.clear();
    if (strip.isNull() || strip.width() < kIconSize) return;
    const QImage keyed = Keyed(strip, PixelAt(strip, kIconSize - 1, 0));
    for (int i = 0; i < strip.width() / kIconSize; ++i) {
        // A strip lower than an icon is padded with transparent rows by copy().
        const QImage icon = keyed.copy(i * kIconSize, 0, kIconSize, kIconSize);
        set.icons.push_back(icon);
        set.iconsGrey.push_back(Blend(icon, QColor(0x80, 0x80, 0x80)));
        set.iconsDark.push_back(Blend(icon, Qt::black));
    }
}

// The pictures of one set in the map's index order. Tiles beyond a narrow strip's right edge
// come out transparent (copy() pads with zero).
void CutPictures(SkinImageSet& set, const QImage& strip, const SkinGeometry& g) {
    const int h = strip.height();
    set.cell = h;
    const QImage keyed = Keyed(strip, PixelAt(strip, 0, h - 1));
    const QRect cell(0, 0, h, h);
    auto tile = [&](int k) { return keyed.copy(k * h, 0, h, h); };
    int next = 0;
    auto add = [&](QImage picture) {
        set.dimmed[next] = Blend(picture, Qt::black);
        set.pictures[next++] = std::move(picture);
    };
    for (int base : {0, 12}) {
        add(tile(base));
        add(tile(base + 1));
        for (int t = base + 2; t <= base + 9; ++t) {
            const QImage whole = tile(t);
            for (const QRect& r : g.exits) {
                QImage part(h, h, QImage::Format_ARGB32_Premultiplied);
                part.fill(Qt::transparent);
                const QRect inside = r.intersected(cell);
                if (!inside.isEmpty()) {
                    QPainter p(&part);
                    p.setCompositionMode(QPainter::CompositionMode_Source);
                    p.drawImage(inside.topLeft(), whole, inside);
                }
                add(std::move(part));
            }
        }
        add(tile(base + 10));
        add(tile(base + 11));
    }
    add(tile(24));
    add(tile(25));
}

// New rooms get the colour at the centre of the room base.
QColor CentreColour(const QImage& strip) {
    const QRgb c = PixelAt(strip, strip.height() / 2, strip.height() / 2);
    return QColor(qRed(c), qGreen(c), qBlue(c));
}

QImage LoadBuiltin(const char* resource) {
    static const bool initialised = (InitSkinResource(), true);
    (void)initialised;
    return QImage(QString::fromLatin1(resource));
}

QStringList ChooserEntriesOf(const storage::IniFile& ini) {
    QStringList entries;
    const std::vector<std::string> sections = ini.ReadSections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (!text::StartsWith(text::LowerLatin(sections[i]), "skin")) continue;
        const std::string description = ini.ReadString(sections[i], "Description", "");
        entries << (description.empty() ? QString::number(i) : text::ToUnicode(description));
    }
    if (entries.isEmpty()) entries << QString::fromLatin1(kDefaultEntry);
    return entries;
}

} // namespace

QImage TSkin::BuiltinPictures() {
    static const QImage strip = [] {
        QImage image = LoadBuiltin(":/skin/pictures.png");
        // Only a broken build lacks the resource; an empty strip still gives a working map.
        if (image.isNull()) {
            image = QImage(26 * 32, 32, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
        }
        return image;
    }();
    return strip;
}

QImage TSkin::BuiltinIcons() {
    static const QImage strip = [] {
        QImage image = LoadBuiltin(":/skin/icons.png");
        if (image.isNull()) {
            image = QImage(20 * kIconSize, kIconSize, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
        }
        return image;
    }();
    return strip;
}

TSkin::TSkin() {
    const QImage pictures = BuiltinPictures();
    for (SkinImageSet* set : {&a_, &b_}) {
        CutPictures(*set, pictures, geometry_);
        CutIcons(*set, BuiltinIcons());
    }
    defaultColor_ = CentreColour(pictures);
    entries_ << QString::fromLatin1(kDefaultEntry);
}

void TSkin::LoadSkin(const fs::path& worldDir, const std::string& fileName, int variant) {
    if (variant < 0) variant = 0;
    const storage::IniFile ini(Locate(worldDir, fileName.empty() ? kNoSkin : fileName));
    SkinImageSet& set = variant == 0 ? a_ : b_;
    const std::string section = "Skin" + std::to_string(variant);
    if (variant == 0) entries_ = ChooserEntriesOf(ini);

    // Variant 0 must always have icons (the zone tree and the picture menu are built from
    // them); other variants may have none.
    QImage icons = LoadNamedImage(worldDir, ini.ReadString(section, "Icons", ""));
    if (variant == 0 && (icons.height() != kIconSize || icons.width() < kMinIconStripWidth))
        icons = BuiltinIcons();
    CutIcons(set, icons);

    QImage strip = LoadNamedImage(worldDir, ini.ReadString(section, "Picture", ""));
    if (!strip.isNull() && strip.height() <= kMaxCell) {
        geometry_ = ReadGeometry(ini, section);
    } else {
        strip = BuiltinPictures();
        geometry_ = SkinGeometry();
    }
    defaultColor_ = CentreColour(strip);
    CutPictures(set, strip, geometry_);
}

} // namespace view
