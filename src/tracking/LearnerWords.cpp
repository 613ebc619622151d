#include "tracking/LearnerWords.h"

#include "text/Cp1251.h"
#include "text/Text.h"

#include <algorithm>

namespace tracking::learn {

namespace {
using text::W;

std::vector<WordFamily>
Families(std::initializer_list<std::pair<const char*, std::array<const char*, 6>>> utf8) {
    std::vector<WordFamily> out;
    for (const auto& [name, words] : utf8) {
        WordFamily f{name, {}};
        for (int i = 0; i < 6; ++i)
            f.words[i] = W(words[i]);
        out.push_back(std::move(f));
    }
    return out;
}

// Languages whose direction words Windows-1251 can write, besides English and Russian.
constexpr std::pair<const char*, std::array<const char*, 6>> kOtherLanguages[] = {
    {"French", {"nord", "sud", "est", "ouest", "haut", "bas"}},
    {"Spanish", {"norte", "sur", "este", "oeste", "arriba", "abajo"}},
    {"Portuguese", {"norte", "sul", "leste", "oeste", "cima", "baixo"}},
    {"German", {"norden", "sueden", "osten", "westen", "oben", "unten"}},
    {"Ukrainian", {"північ", "південь", "схід", "захід", "вгору", "вниз"}},
    {"Bulgarian", {"север", "юг", "изток", "запад", "нагоре", "надолу"}},
};

std::vector<WordFamily> WithOthers(std::vector<WordFamily> families) {
    for (const auto& [name, words] : kOtherLanguages)
        for (auto& f : Families({{name, words}}))
            families.push_back(std::move(f));
    return families;
}

// Lower-case words written in the source, as Windows-1251.
std::vector<std::string> Cp1251(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8)
        out.push_back(W(s));
    return out;
}

enum class Case { Lower, Capital, Upper };

Case CaseOf(std::string_view word) {
    const std::string upper = Upper(word);
    if (word == upper && word != text::LowerCp1251(word)) return Case::Upper;
    if (!word.empty() && word[0] == upper[0] && word != text::LowerCp1251(word))
        return Case::Capital;
    return Case::Lower;
}

std::string InCase(std::string_view lower, Case c) {
    if (c == Case::Upper) return Upper(lower);
    std::string out(lower);
    if (c == Case::Capital && !out.empty()) out[0] = Upper(out.substr(0, 1))[0];
    return out;
}
} // namespace

const std::vector<WordFamily>& ExitFamilies() {
    static const std::vector<WordFamily> families = WithOthers(Families({
        {"English letters", {"n", "s", "e", "w", "u", "d"}},
        {"English", {"north", "south", "east", "west", "up", "down"}},
        {"Russian letters", {"с", "ю", "в", "з", "^", "v"}},
        {"Russian", {"север", "юг", "восток", "запад", "вверх", "вниз"}},
    }));
    return families;
}

const std::vector<WordFamily>& MoveFamilies() {
    static const std::vector<WordFamily> families = WithOthers(Families({
        {"English letters", {"n", "s", "e", "w", "u", "d"}},
        {"English", {"north", "south", "east", "west", "up", "down"}},
        {"Russian letters", {"с", "ю", "в", "з", "вв", "вн"}},
        {"Russian", {"север", "юг", "восток", "запад", "вверх", "вниз"}},
    }));
    return families;
}

std::optional<int> DirectionOf(std::string_view word, const std::vector<WordFamily>& families) {
    if (word.empty()) return std::nullopt;
    const std::string lower = text::LowerCp1251(word);
    for (const WordFamily& f : families)
        for (int i = 0; i < 6; ++i)
            if (f.words[i] == lower) return i;
    return std::nullopt;
}

bool IsLookWord(std::string_view word) {
    static const std::vector<std::string> words =
        Cp1251({"look", "l", "смотреть", "см", "осмотреться", "осм"});
    return std::find(words.begin(), words.end(), text::LowerCp1251(word)) != words.end();
}

bool IsConjunction(std::string_view word) {
    static const std::vector<std::string> words =
        Cp1251({"and", "or", "и", "или", "et", "ou", "y", "und", "та", "і"});
    return std::find(words.begin(), words.end(), text::LowerCp1251(word)) != words.end();
}

bool SpeaksOfDarkness(std::string_view visibleLine) {
    static const std::vector<std::string> words =
        Cp1251({"dark", "pitch black", "темно", "темнота", "тьма", "не видно"});
    const std::string lower = text::LowerCp1251(visibleLine);
    return std::any_of(words.begin(), words.end(),
                       [&](const std::string& w) { return lower.find(w) != std::string::npos; });
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0xC0 || u == 0xA8 ||
           u == 0xB8 || u == 0xB2 || u == 0xB3 || u == 0xAA || u == 0xBA || u == 0xAF ||
           u == 0xBF || u == 0xA5 || u == 0xB4 || u == 0xA1 || u == 0xA2;
}

std::string Upper(std::string_view word) {
    static const std::array<char, 256> upper = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<char>(i);
        for (int i = 0; i < 256; ++i) {
            const auto lower = static_cast<unsigned char>(text::LowerCp1251(static_cast<char>(i)));
            if (lower != i) t[lower] = static_cast<char>(i);
        }
        return t;
    }();
    std::string out(word);
    for (char& c : out)
        c = upper[static_cast<unsigned char>(c)];
    return out;
}

std::optional<SixWords> CompleteFromFamily(const SixWords& seen,
                                           const std::vector<WordFamily>& families) {
    std::vector<Case> cases;
    for (const std::string& w : seen)
        if (!w.empty()) cases.push_back(CaseOf(w));
    if (cases.empty()) return std::nullopt;
    // One-letter words are capitals or not; a capital first letter of a longer word is Capital.
    Case common = cases.front();
    for (Case c : cases)
        if (c != common) common = Case::Lower;
    for (const WordFamily& f : families) {
        bool holds = true;
        for (int i = 0; i < 6 && holds; ++i)
            holds = seen[i].empty() || text::LowerCp1251(seen[i]) == f.words[i];
        if (!holds) continue;
        SixWords out;
        for (int i = 0; i < 6; ++i)
            out[i] = seen[i].empty() ? InCase(f.words[i], common) : seen[i];
        return out;
    }
    return std::nullopt;
}

} // namespace tracking::learn
