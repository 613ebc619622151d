#include "files/AreaFileNames.h"

#include "files/Paths.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <array>

namespace storage {

namespace {

// Bytes of a file name that Linux and Windows both take and that come back from the file
// system as the same printable Windows-1251 character. Found once through the converter, so
// that a byte it cannot map is never put into a name that would then be unreadable.
const std::array<bool, 256>& PlainBytes() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        constexpr std::string_view kForbidden = "%\\/:*?\"<>|";
        for (int b = 0x20; b < 256; ++b) {
            const char c = static_cast<char>(b);
            if (b == 0x7F || kForbidden.find(c) != std::string_view::npos) continue;
            // Undefined bytes come back as C1 controls, the soft hyphen is invisible: neither
            // belongs in a name the player reads.
            const QString u = text::ToUnicode(std::string(1, c));
            if (u.size() != 1 || !u[0].isPrint()) continue;
            bool ok = false;
            const std::string back = text::FromUnicode(u, &ok);
            t[b] = ok && back == std::string(1, c);
        }
        return t;
    }();
    return table;
}

bool IsDeviceName(std::string_view name) {
    // Windows takes "CON.tk2" and "con .txt" for the device as well.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

std::string Escaped(unsigned char b) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {'%', kHex[b >> 4], kHex[b & 15]};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Room left in a file name of 255 bytes for " 99", ".tk2", ".damaged.99" and the saver's
// temporary ".<name>.tmp<digits>".
constexpr std::size_t kMaxNameBytes = 180;

} // namespace

std::string AreaFileName(std::string_view area) {
    const std::array<bool, 256>& plain = PlainBytes();
    const bool device = IsDeviceName(area);
    std::string out;
    std::size_t bytesOnDisk = 0;
    for (std::size_t i = 0; i < area.size(); ++i) {
        const auto b = static_cast<unsigned char>(area[i]);
        const bool edge =
            (i == 0 && (b == '.' || b == ' ')) || (i + 1 == area.size() && (b == '.' || b == ' '));
        const bool zoneExtension =
            b == '.' && text::EqualsIgnoreCaseLatin(area.substr(i, 4), kZoneExtension);
        const bool escape = !plain[b] || edge || zoneExtension || (i == 0 && device);
        const std::string unit = escape ? Escaped(b) : std::string(1, static_cast<char>(b));
        const std::size_t unitBytes =
            escape || b < 0x80 ? unit.size()
                               : static_cast<std::size_t>(text::ToUnicode(unit).toUtf8().size());
        if (bytesOnDisk + unitBytes > kMaxNameBytes) {
            // A cut name must not end where a whole name may not.
            while (!out.empty() && (out.back() == '.' || out.back() == ' '))
                out.pop_back();
            break;
        }
        out += unit;
        bytesOnDisk += unitBytes;
    }
    return out;
}

std::string AreaOfFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 2 < name.size() && HexDigit(name[i + 1]) >= 0 &&
            HexDigit(name[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(name[i + 1]) * 16 + HexDigit(name[i + 2]));
            i += 2;
            continue;
        }
        out += name[i];
    }
    return out;
}

} // namespace storage
