#include "text/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <unordered_map>

namespace text {

QString ToUnicode(std::string_view cp1251) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(QByteArrayView(cp1251.data(), static_cast<qsizetype>(cp1251.size())));
}

std::string FromUnicode(const QString& s, bool* ok) {
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::ConvertInvalidToNull);
    QByteArray bytes = encoder.encode(s);
    // With ConvertInvalidToNull an unmappable character becomes 0; a real NUL in the input
    // is counted so that it is not taken for a failure.
    const bool good = !encoder.hasError() && bytes.count('\0') == s.count(QChar(0));
    if (ok) *ok = good;
    std::string out(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!good) {
        for (char& c : out)
            if (c == '\0') c = '?';
    }
    return out;
}

} // namespace text

namespace text {
const std::string& W(const char* utf8Literal) {
    static std::unordered_map<const char*, std::string> cache;
    auto it = cache.find(utf8Literal);
    if (it == cache.end())
        it = cache.emplace(utf8Literal, FromUnicode(QString::fromUtf8(utf8Literal))).first;
    return it->second;
}
} // namespace text
