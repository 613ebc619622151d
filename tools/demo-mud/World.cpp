#include "World.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringEncoder>
#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

namespace demo {

namespace {

// Order of the exit line and the prompt: north, east, south, west, up, down.
const DirInfo kDirs[kDirCount] = {
    {"n", "N", "С", "на север", -1, 0, 0, kSouth}, {"e", "E", "В", "на восток", 0, 1, 0, kWest},
    {"s", "S", "Ю", "на юг", 1, 0, 0, kNorth},     {"w", "W", "З", "на запад", 0, -1, 0, kEast},
    {"u", "U", "^", "вверх", 0, 0, 1, kDown},      {"d", "D", "v", "вниз", 0, 0, -1, kUp},
};

const char* const kLongWords[kDirCount][3] = {
    {"north", "север", "с"}, {"east", "восток", "в"}, {"south", "юг", "ю"},
    {"west", "запад", "з"},  {"up", "вверх", "вв"},   {"down", "вниз", "вн"},
};

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), utf8.size());
}

std::string StripColour(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\x1B' && i + 1 < s.size() && s[i + 1] == '[') {
            const std::size_t m = s.find('m', i);
            if (m != std::string::npos) {
                i = m;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

} // namespace

const DirInfo& Info(Dir d) {
    return kDirs[d];
}

Dir ParseDir(const std::string& word) {
    for (int d = 0; d < kDirCount; ++d) {
        if (word == kDirs[d].command) return static_cast<Dir>(d);
        for (const char* w : kLongWords[d])
            if (word == Cp1251(w)) return static_cast<Dir>(d);
    }
    return kDirCount;
}

std::string Cp1251(const std::string& utf8) {
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(Q(utf8));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void World::Add(int id, std::string name, std::vector<std::string> desc, int x, int y, int l,
                bool dark, int portal, std::vector<std::string> extras) {
    Room room;
    room.id = id;
    room.nameUtf8 = std::move(name);
    room.descUtf8 = std::move(desc);
    room.x = x;
    room.y = y;
    room.l = l;
    room.dark = dark;
    room.portal = portal;
    room.extrasUtf8 = std::move(extras);
    if (id <= 0 || Find(id)) throw std::logic_error("demo world: room id taken");
    if (index_.size() <= static_cast<std::size_t>(id)) index_.resize(id + 1);
    rooms_.push_back(std::move(room));
    index_[id] = static_cast<int>(rooms_.size());
}

void World::Link(int from, Dir d, int to, const char* doorUtf8) {
    Room* a = const_cast<Room*>(Find(from));
    Room* b = const_cast<Room*>(Find(to));
    if (!a || !b) throw std::logic_error("demo world: link to a missing room");
    a->exits[d].to = to;
    b->exits[Info(d).opposite].to = from;
    if (doorUtf8) {
        a->exits[d].door = b->exits[Info(d).opposite].door = true;
        a->exits[d].doorUtf8 = b->exits[Info(d).opposite].doorUtf8 = doorUtf8;
    }
}

const Room* World::Find(int id) const {
    if (id <= 0 || static_cast<std::size_t>(id) >= index_.size() || !index_[id]) return nullptr;
    return &rooms_[index_[id] - 1];
}

namespace {

std::vector<std::string> WithTimedLine(std::vector<std::string> lines, int at,
                                       const std::string& timed) {
    if (at >= 0 && !timed.empty())
        lines.insert(lines.begin() + std::min<std::size_t>(at, lines.size()), timed);
    return lines;
}

} // namespace

std::vector<std::string> Room::Description(bool daytime) const {
    return WithTimedLine(desc, timedAt, daytime ? day : night);
}

std::vector<std::string> Room::DescriptionUtf8(bool daytime) const {
    return WithTimedLine(descUtf8, timedAt, daytime ? dayUtf8 : nightUtf8);
}

void World::Finish() {
    for (Room& room : rooms_) {
        room.area = Cp1251(room.areaUtf8);
        room.name = Cp1251(room.nameUtf8);
        room.day = Cp1251(room.dayUtf8);
        room.night = Cp1251(room.nightUtf8);
        for (const std::string& line : room.descUtf8)
            room.desc.push_back(Cp1251(line));
        for (const std::string& line : room.extrasUtf8)
            room.extras.push_back(Cp1251(line));
        highestId_ = std::max(highestId_, room.id);
    }
    for (Item& item : items_) {
        for (const std::string& k : item.keywordsUtf8)
            item.keywords.push_back(Cp1251(k));
        for (const std::string& line : item.loreUtf8)
            item.lore.push_back(Cp1251(line));
        item.shortName = Cp1251(item.shortUtf8);
    }
}

std::string World::ExitList(const Room& room, const std::array<bool, kDirCount>& closed) const {
    std::string list;
    for (int d = 0; d < kDirCount; ++d) {
        if (!room.exits[d].to) continue;
        const std::string word = kDirs[d].exitWord;
        list += closed[d] ? " (" + word + ")" : " " + word;
    }
    return list.empty() ? " None! " : list + " ";
}

World::World() {
    const std::string c = "\x1B[0;33m"; // colour inside descriptions
    const std::string r = "\x1B[0;37m";
    // Ground level: the village of Тихая Заводь around its square.
    Add(1, "Центральная площадь",
        {"   Мощёная площадь в самом сердце Тихой Заводи. Посередине стоит",
         "старый " + c + "каменный столб" + r + " с вырезанными на нём именами.  "},
        0, 0, 0, false, 0, {"\x1B[1;33mЗдесь лежит ржавая подкова.\x1B[0;37m"});
    Add(2, "Северная улица", {"   Узкая улица тянется к храму. Из окон пахнет свежим хлебом."}, -1,
        0, 0);
    Add(3, "Колодец",
        {"   Старый колодец под двускатной крышей. Ведро висит на цепи,",
         "а вниз, в темноту, уходят скобы, вбитые в сруб."},
        -1, 1, 0);
    Add(4, "Восточная улица", {"   Улица упирается в дверь кузницы. Слышен звон молота."}, 0, 1, 0);
    Add(5, "Кузница",
        {"   Жарко. В горне пылают угли, у наковальни сложены подковы.",
         "По приставной лестнице можно подняться на чердак."},
        0, 2, 0, false, 0, {"\x1B[1;31mКузнец Добрыня раздувает меха.\x1B[0;37m"});
    Add(6, "Южная улица", {"   Улица спускается к рынку. Под ногами хрустит щебень."}, 1, 0, 0);
    Add(7, "Рыночный ряд",
        {"   Пустые прилавки стоят рядами. У одного из них в земле",
         "виден люк, ведущий в погреб."},
        2, 0, 0);
    Add(8, "Лавка травника",
        {"   Тесная лавка, увешанная пучками сушёных трав. Другого выхода нет."}, 2, -1, 0);
    Add(9, "Западные ворота", {"   Тяжёлые ворота распахнуты настежь. За ними начинается тракт."},
        0, -1, 0);
    Add(10, "Старый тракт",
        {"   Разбитая телегами дорога. Позади, далеко на востоке, виднеются", "ворота Заводи."}, 0,
        -4, 0);
    Add(11, "Развилка на тракте", {"   Тракт раздваивается: на север к лесу, на юг в овраг."}, 0,
        -5, 0);
    Add(12, "Опушка леса", {"   Берёзы стоят редко, между ними пробивается солнце."}, -1, -5, 0);
    Add(13, "Лесная тропа", {"   Тропа петляет между старыми елями."}, -2, -5, 0);
    Add(14, "Поляна", {"   Круглая поляна, заросшая земляникой. Дальше дороги нет."}, -2, -6, 0);
    Add(15, "Заросший овраг", {"   Крапива в человеческий рост. Выбраться можно только назад."}, 1,
        -5, 0);
    Add(16, "Храм",
        {"   Высокий светлый храм с расписанным сводом. На стенах изображены святые, звери и "
         "птицы, корабли в бурном море и города с башнями, а под самым куполом тянется " +
             c + "золотая надпись" + r +
             ", которую никто в деревне уже не может прочесть. В углу за алтарём мерцает "
             "странное сияние, будто туда можно войти.   ",
         "Узкая лестница ведёт на колокольню."},
        -2, 0, 0, false, 35);
    // Upper floors.
    Add(17, "Колокольня", {"   Под колоколом гуляет ветер. Лестница ведёт выше, к шпилю."}, -2, 0,
        1);
    Add(18, "Смотровая площадка", {"   Отсюда видна вся Заводь и тракт, уходящий на запад."}, -2, 1,
        1);
    Add(19, "Чердак кузницы", {"   Пыльный чердак. Сквозь щели в крыше видно небо."}, 0, 2, 1);
    Add(20, "Галерея", {"   Деревянная галерея над улицей, скрипит под ногами."}, -1, 2, 1);
    Add(21, "Крытый переход", {"   Переход под крышей соединяет галерею с колокольней."}, -2, 2, 1);
    Add(22, "Голубятня", {"   Голуби воркуют на жёрдочках. Больше здесь ничего нет."}, -2, -1, 1);
    Add(23, "Шпиль колокольни", {"   Выше подняться нельзя. Ветер свистит в ушах."}, -2, 0, 2);
    // Underground.
    Add(24, "Погреб", {"   Сырой погреб, заставленный бочками."}, 2, 0, -1);
    Add(25, "Сырой коридор", {"   Со стен капает вода. Коридор уходит на восток и на север."}, 2, 1,
        -1);
    Add(26, "Тёмный угол", {"   Ни зги не видно."}, 2, 2, -1, true);
    Add(27, "Катакомбы", {"   Ниши в стенах полны старых костей."}, 3, 2, -1);
    Add(28, "Склеп", {"   Каменный саркофаг посреди склепа. Крышка сдвинута."}, 4, 2, -1);
    Add(29, "Подземное озеро", {"   Чёрная вода неподвижна. Вдоль берега тянется уступ."}, 3, 3,
        -1);
    Add(30, "Грот", {"   Сталактиты свисают с потолка, как сосульки."}, 3, 6, -1);
    Add(31, "Узкий лаз", {"   Лаз сужается и обрывается тупиком."}, 2, 6, -1);
    Add(32, "Дно колодца", {"   По колено в ледяной воде. Наверх ведут скобы."}, -1, 1, -1);
    // Two rooms that look exactly alike, as in real towns.
    Add(33, "Затопленный ход", {"   Вода доходит до пояса. Ход тянется с севера на юг."}, 0, 1, -1);
    Add(34, "Затопленный ход", {"   Вода доходит до пояса. Ход тянется с севера на юг."}, 1, 1, -1);
    // The craftsmen's quarter east of the market: two streets whose four rooms look exactly
    // alike (exits west, east and south), each reachable from both ends and from the side.
    const std::vector<std::string> street = {
        "   Вдоль улицы тянутся одинаковые мастерские под черепичными крышами."};
    const char* const streetName = "Ремесленная улица";
    Add(36, "Въезд в квартал", {"   Арка из тёсаного камня открывает вход в ремесленный квартал."},
        2, 1, 0);
    Add(37, streetName, street, 2, 2, 0);
    Add(38, streetName, street, 2, 3, 0);
    Add(39, "Угол квартала", {"   Здесь улица поворачивает к югу. Над входом висит фонарь."}, 2, 4,
        0);
    Add(40, "Переулок", {"   Узкий переулок между глухими стенами."}, 3, 1, 0);
    Add(41, "Двор гончара", {"   На полках сохнут горшки и кувшины."}, 3, 2, 0);
    Add(42, "Двор ткача", {"   Во дворе стоит ткацкий стан, накрытый рогожей."}, 3, 3, 0);
    Add(43, "Проход у стены", {"   Проход вдоль городской стены, поросший мхом."}, 3, 4, 0);
    Add(44, "Южные ворота квартала", {"   Низкие ворота, запертые на ночь."}, 4, 1, 0);
    Add(45, streetName, street, 4, 2, 0);
    Add(46, streetName, street, 4, 3, 0);
    Add(47, "Колодезная площадка", {"   Маленькая площадка вокруг каменного колодца."}, 4, 4, 0);
    Add(48, "Мастерская бондаря", {"   Пахнет дубовой стружкой. Повсюду обручи и клёпки."}, 5, 2,
        0);
    Add(49, "Мастерская столяра", {"   Верстак, рубанки и груда досок."}, 5, 3, 0);
    // A crooked loop north of the quarter: from the bend the way round is four steps, the way
    // back one, and the room it closes on looks like no other.
    Add(50, "Кривой переулок", {"   Переулок петляет между домами."}, 1, 4, 0);
    Add(51, "Кривой перекрёсток", {"   Три кривые улочки сходятся у покосившегося столба."}, 0, 4,
        0);
    Add(52, "Кривая улочка", {"   Улочка круто забирает влево."}, 0, 5, 0);
    Add(53, "Глухой проулок", {"   Стены домов почти смыкаются над головой."}, -1, 5, 0);
    Add(54, "Горбатый мостик", {"   Мостик над сухой канавой. Доски скрипят."}, -2, 5, 0);
    Add(55, "Кривой спуск", {"   Крутой спуск, вымощенный булыжником."}, -2, 4, 0);
    // A second loop south of the quarter closes on a yard that has a twin two streets away.
    const std::vector<std::string> yard = {"   Тесный двор, заросший лопухами."};
    Add(56, "Тропинка за мастерскими", {"   Тропинка вьётся между огородами."}, 6, 3, 0);
    Add(57, "Огородная межа", {"   Межа между грядками капусты."}, 7, 3, 0);
    Add(58, "Перекрёсток у пекарни", {"   Пахнет свежим хлебом. Дороги расходятся."}, 8, 3, 0);
    Add(59, "Задний двор", {"   Дрова сложены в поленницу до самой крыши."}, 8, 2, 0);
    Add(60, "Тихий двор", yard, 8, 1, 0);
    Add(61, "Каменный спуск", {"   Ступени, выбитые в скале."}, 7, 2, 0);
    Add(62, "Верхняя терраса", {"   С террасы видны крыши квартала."}, 6, 2, 0);
    Add(63, "Старая лестница", {"   Лестница без перил ведёт вниз."}, 6, 1, 0);
    Add(64, "Пекарня", {"   Из печи пахнет караваями."}, 8, 4, 0);
    Add(65, "Амбар", {"   Мешки с мукой до потолка."}, 8, 5, 0);
    Add(66, "Конюшня", {"   Лошади фыркают в стойлах."}, 7, 5, 0);
    Add(67, "Тихий двор", yard, 7, 4, 0);
    Add(68, "Сеновал", {"   Душистое сено, в нём кто-то спит."}, 6, 4, 0);
    // Reachable only through the portal in the temple.
    Add(35, "Келья отшельника", {"   Глухая келья без дверей и окон. Сияние в углу манит войти."},
        -4, 3, 0, false, 16);

    Link(1, kNorth, 2);
    Link(1, kSouth, 6);
    Link(1, kEast, 4);
    Link(1, kWest, 9);
    Link(2, kNorth, 16);
    Link(2, kEast, 3);
    Link(3, kSouth, 4);
    Link(3, kDown, 32);
    Link(4, kEast, 5, "дверь");
    Link(5, kUp, 19);
    Link(6, kSouth, 7);
    Link(7, kWest, 8);
    Link(7, kDown, 24);
    Link(9, kWest, 10); // three cells apart: a corridor on the map
    Link(10, kWest, 11);
    Link(11, kNorth, 12);
    Link(11, kSouth, 15);
    Link(12, kNorth, 13);
    Link(13, kWest, 14);
    Link(16, kUp, 17);
    Link(17, kEast, 18);
    Link(17, kWest, 22);
    Link(17, kUp, 23);
    Link(18, kEast, 21);
    Link(19, kNorth, 20);
    Link(20, kNorth, 21);
    Link(24, kEast, 25);
    Link(25, kEast, 26);
    Link(25, kNorth, 34);
    Link(26, kSouth, 27);
    Link(27, kSouth, 28, "решётка");
    Link(27, kEast, 29);
    Link(29, kEast, 30); // another corridor
    Link(30, kNorth, 31);
    Link(32, kSouth, 33);
    Link(33, kSouth, 34);
    // The quarter.
    Link(7, kEast, 36);
    Link(36, kEast, 37);
    Link(37, kEast, 38);
    Link(38, kEast, 39);
    Link(36, kSouth, 40);
    Link(37, kSouth, 41);
    Link(38, kSouth, 42);
    Link(39, kSouth, 43);
    Link(40, kEast, 41);
    Link(40, kSouth, 44);
    Link(43, kSouth, 47);
    Link(44, kEast, 45);
    Link(45, kEast, 46);
    Link(46, kEast, 47);
    Link(45, kSouth, 48);
    Link(46, kSouth, 49);
    // The crooked loop: the way back from the slope is one step south.
    Link(39, kNorth, 50);
    Link(50, kNorth, 51);
    Link(51, kEast, 52);
    Link(52, kNorth, 53);
    Link(53, kNorth, 54);
    Link(54, kWest, 55);
    Link(55, kSouth, 51);
    // The loop of the two yards: the old stair leads down into the first yard at once.
    Link(49, kSouth, 56);
    Link(56, kSouth, 57);
    Link(57, kSouth, 58);
    Link(58, kWest, 59);
    Link(59, kWest, 60);
    Link(59, kNorth, 61);
    Link(61, kNorth, 62);
    Link(62, kWest, 63);
    Link(63, kSouth, 60);
    Link(58, kEast, 64);
    Link(64, kEast, 65);
    Link(65, kNorth, 66);
    Link(66, kWest, 67);
    Link(67, kNorth, 68);

    struct ItemText {
        std::vector<std::string> keywords;
        std::string shortName;
        std::vector<std::string> lore;
    };
    const std::vector<ItemText> items = {
        {{"меч", "длинный"},
         "длинный меч",
         {"Вы узнали следующее:", "Предмет \"длинный меч\", тип : ОРУЖИЕ",
          "Может быть использован : взять держать", "Вес: 12, Цена: 150, Рента: 30(50)",
          "Материал : ЖЕЛЕЗО", "Наносимые повреждения '3D4' среднее 7.5."}},
        {{"щит", "деревянный"},
         "деревянный щит",
         {"Вы узнали следующее:", "Предмет \"деревянный щит\", тип : БРОНЯ",
          "Может быть использован : взять щит", "Вес: 8, Цена: 40, Рента: 10(15)",
          "Материал : ДЕРЕВО", "Защита (AC) : 2", "Броня : 1"}},
        {{"кольцо", "медное"},
         "медное кольцо",
         {"Вы узнали следующее:", "Предмет \"медное кольцо\", тип : ДРАГОЦЕННОСТЬ",
          "Может быть использован : взять палец", "Вес: 1, Цена: 25, Рента: 5(7)",
          "Материал : МЕДЬ", "Аффекты: ловкость +1"}},
        {{"плащ", "серый"},
         "серый плащ",
         {"Вы узнали следующее:", "Предмет \"серый плащ\", тип : БРОНЯ",
          "Может быть использован : взять плечи", "Вес: 3, Цена: 60, Рента: 12(20)",
          "Материал : ТКАНЬ", "Защита (AC) : 1", "Броня : 0"}},
    };

    for (const auto& [keywords, shortName, lore] : items) {
        Item item;
        item.keywordsUtf8 = keywords;
        item.shortUtf8 = shortName;
        item.loreUtf8 = lore;
        items_.push_back(item);
    }

    for (Room& room : rooms_) {
        // The game's numbers and areas: the village with its upper floors and the hermit's
        // cell, the underground, the craftsmen's quarter.
        room.vnum = 6000 + room.id;
        room.areaUtf8 = room.id >= 24 && room.id <= 34   ? "Подземелье"
                        : room.id >= 36 && room.id <= 68 ? "Ремесленный квартал"
                                                         : "Тихая Заводь";
    }
    Finish();
}

QJsonDocument World::Dump() const {
    // Exits that leave the grid: the target is not k cells away in the exit's direction with
    // free cells between. Only the region has them, and only there are they named in the dump.
    std::map<std::tuple<int, int, int>, int> cells;
    for (const Room& room : rooms_)
        cells.emplace(std::tuple{room.x, room.y, room.l}, room.id);
    auto offGrid = [&](const Room& from, Dir d, const Room& to) {
        const DirInfo& step = kDirs[d];
        for (int k = 1; k <= 1000; ++k) {
            const std::tuple cell{from.x + step.dx * k, from.y + step.dy * k, from.l + step.dl * k};
            if (cell == std::tuple{to.x, to.y, to.l}) return false;
            if (cells.count(cell)) return true;
        }
        return true;
    };
    auto describe = [](const std::vector<std::string>& lines, std::string& desc,
                       std::string& plain) {
        for (const std::string& line : lines) {
            if (!desc.empty()) desc += "\r\n", plain += "\r\n";
            desc += line;
            plain += StripColour(line);
        }
    };

    QJsonArray rooms;
    for (const Room& room : rooms_) {
        std::array<bool, kDirCount> closed{};
        for (int d = 0; d < kDirCount; ++d)
            closed[d] = room.exits[d].door;
        const std::string list = ExitList(room, closed);
        std::string desc, plain;
        describe(room.DescriptionUtf8(true), desc, plain);
        QJsonArray exits;
        for (int d = 0; d < kDirCount; ++d) {
            const Exit& e = room.exits[d];
            if (!e.to) continue;
            QJsonObject exit{{"dir", kDirs[d].command}, {"to", e.to}, {"door", e.door}};
            if (e.door) exit["doorName"] = Q(e.doorUtf8);
            const Room& to = *Find(e.to);
            if (to.exits[kDirs[d].opposite].to != room.id) exit["oneWay"] = true;
            if (offGrid(room, static_cast<Dir>(d), to)) exit["offGrid"] = true;
            exits.append(exit);
        }
        QJsonObject o{{"id", room.id},
                      {"vnum", room.vnum},
                      {"area", Q(room.areaUtf8)},
                      {"name", Q(room.nameUtf8)},
                      {"description", Q(desc)},
                      {"descriptionPlain", Q(plain)},
                      {"x", room.x},
                      {"y", room.y},
                      {"level", room.l},
                      {"dark", room.dark},
                      {"exits", exits},
                      // The exit line as printed when the room is entered (doors closed), and
                      // the list between "[ Exits:" and "]" that recognition takes from it.
                      {"exitLine", room.dark ? QString() : Q("\x1B[36m[ Exits:" + list + "]\r\n")},
                      {"exitList", Q(list)}};
        if (room.portal) o["portal"] = room.portal;
        if (room.timedAt >= 0) {
            // "description" is the daytime text; by night the timed line changes.
            std::string night, nightPlain;
            describe(room.DescriptionUtf8(false), night, nightPlain);
            o["descriptionNight"] = Q(night);
            o["descriptionNightPlain"] = Q(nightPlain);
            o["timedLine"] = QJsonObject{
                {"at", room.timedAt}, {"day", Q(room.dayUtf8)}, {"night", Q(room.nightUtf8)}};
        }
        rooms.append(o);
    }
    QJsonObject root{{"start", StartRoom()}, {"darkText", "Здесь темно..."}, {"rooms", rooms}};
    if (clock_.on)
        root["clock"] = QJsonObject{{"startHour", clock_.startHour},
                                    {"commandsPerHour", clock_.commandsPerHour},
                                    {"dayFrom", clock_.dayFrom},
                                    {"nightFrom", clock_.nightFrom},
                                    {"movesPerHour", clock_.movesPerHour}};
    return QJsonDocument(root);
}

} // namespace demo
