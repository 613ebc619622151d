#pragma once
// Text for generated benchmark worlds: Windows-1251 words strung into names and descriptions.

#include <random>
#include <string>

namespace bench {

inline const char* const kWords[] = {
    "\xF2\xE5\xEC\xED\xFB\xE9",         // тёмный
    "\xEB\xE5\xF1",                     // лес
    "\xF1\xF2\xE0\xF0\xE0\xFF",         // старая
    "\xE4\xEE\xF0\xEE\xE3\xE0",         // дорога
    "\xEF\xEE\xEB\xFF\xED\xE0",         // поляна
    "\xF3",                             // у
    "\xF0\xE5\xEA\xE8",                 // реки
    "\xE2\xFB\xF1\xEE\xEA\xE8\xE5",     // высокие
    "\xE4\xE5\xF0\xE5\xE2\xFC\xFF",     // деревья
    "\xF8\xF3\xEC\xFF\xF2",             // шумят
    "\xED\xE0\xE4",                     // над
    "\xE3\xEE\xEB\xEE\xE2\xEE\xE9",     // головой
    "\xE8",                             // и
    "\xF2\xF0\xEE\xEF\xE0",             // тропа
    "\xF3\xF5\xEE\xE4\xE8\xF2",         // уходит
    "\xE2\xE3\xEB\xF3\xE1\xFC",         // вглубь
    "\xF7\xE0\xF9\xE8",                 // чащи
    "\xEA\xE0\xEC\xE5\xED\xED\xFB\xE9", // каменный
    "\xEC\xEE\xF1\xF2",                 // мост
    "\xEF\xE5\xF9\xE5\xF0\xE0",         // пещера
};

inline std::string Words(std::mt19937& rng, size_t minBytes) {
    std::string s;
    while (s.size() < minBytes) {
        if (!s.empty()) s += ' ';
        s += kWords[rng() % std::size(kWords)];
    }
    return s;
}

inline std::string ZoneName(int z) {
    return "\xC7\xEE\xED\xE0 " + std::to_string(z); // Зона N
}

} // namespace bench
