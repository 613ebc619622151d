// The region: the village of Ольховка at its heart, the old road that leaves it by the west gate
// and comes back by the north-west gate, the valley and its ravine south of the road, the hills
// and the caves under them south of the village, the forest east of it.
//
// The rooms stand on one grid (X to the south, Y to the east, L upwards) except where the
// region leaves it on purpose, and those exits are the ones the dump calls off the grid:
//   - the road's last room joins the north-west gate, although walked from the west gate the
//     road ends three cells short of it and one to the west;
//   - the temple's stair leads down to the square, which is also the temple's south exit;
//   - the fox's burrow lies under the fox hill, but the cave right under the hill is taken by
//     the heart of the caves, and the caves around it are as full;
// and one exit leaves no way back: the drop from the cliff on the road into the ravine.

#include "RegionBuilder.h"
#include "RegionPlan.h"

namespace demo {

namespace {

const AreaText kVillage{"Ольховка",
                        7100,
                        {"У забора", "Под окнами", "Вдоль плетня", "У крыльца", "Посреди дороги",
                         "За углом", "Возле лавки", "У колодезного сруба"},
                        {"дремлет рыжий кот.", "стоит пустая телега.", "сохнет бельё на верёвке.",
                         "лежит куча хвороста.", "валяется сломанное колесо.", "роются куры.",
                         "стоит бочка с дождевой водой.", "растёт высокая крапива.",
                         "брошены старые сани."}};

const AreaText kRoad{"Старый тракт",
                     7200,
                     {"У обочины", "На краю колеи", "За канавой", "Чуть в стороне", "Под кустом",
                      "В придорожной пыли", "На пригорке", "У старой вехи"},
                     {"лежит треснувший жёрнов.", "торчит покосившийся крест.",
                      "валяется оброненная подкова.", "растёт одинокая сосна.",
                      "темнеет след костра.", "стоит брошенная бочка.", "белеют кости лошади.",
                      "сложены камни для починки дороги.", "цветёт шиповник."}};

void LayVillage(RegionBuilder& b) {
    const char* street = "Бревенчатые дома стоят вдоль улицы тесным рядом.";
    b.Lay(kVillage, -4, -3, 0,
          {
              "A-N-N-N-N-N-N-O", //
              "|   |   |     |", //
              "L   h   p-p   O", //
              "|       |     |", //
              "L-c   m-m-m-x O", //
              "|     |   |   |", //
              "L-c   T   w-b O", //
              "|     |       |", //
              "W-S-S-Q-S-S-S-E", //
              "  |   | |   | |", //
              "  g   R-k   i O", //
              "  |   |     | |", //
              "  g-g R-R-R-j O", //
              "      |       |", //
              "  f-f-R-f-f   O", //
              "      |        ", //
              "      Z        ", //
          },
          {
              {'A', "Северо-западные ворота",
               "Ворота в частоколе. На запад от них уходит старый тракт."},
              {'N', "Северная улица", street},
              {'O', "Восточная околица", "Тропинка вдоль частокола, за ним шумит лес."},
              {'L', "Липовая аллея", "Старые липы смыкаются кронами над дорожкой."},
              {'h', "Постоялый двор", "Длинные столы, лавки и запах кислых щей.",
               "Хозяин протирает кружки за стойкой."},
              {'p', "Погост", "Покосившиеся кресты среди высокой травы.", nullptr, 1, "",
               "Между крестами блуждают бледные огоньки."},
              {'m', "Мельничная улица", street},
              {'x', "Изба старосты", "Просторная изба с резными наличниками.",
               "На лавке лежит толстая книга недоимок."},
              {'c', "Яблоневый сад", "Старые яблони клонятся под тяжестью плодов."},
              {'T', "Храм Святого Ильи", "Белёный храм с зелёным куполом. Пахнет воском и ладаном.",
               "За алтарём узкая лестница уходит вниз, прямо на площадь."},
              {'w', "Колодец", "Глубокий колодец с воротом и дубовой крышкой."},
              {'b', "Пекарня", "Из печи тянет тёплым хлебным духом."},
              {'W', "Западные ворота", "Тяжёлые створки ворот распахнуты на тракт."},
              {'S', "Большая улица", street},
              {'Q', "Торговая площадь", "Широкая площадь в самом сердце Ольховки.",
               "Посередине стоит резной столб с петухом на макушке.", 1,
               "Торговцы раскладывают товар на лотках.", "Пустые лотки темнеют в лунном свете."},
              {'E', "Восточные ворота", "Низкие ворота, за ними начинается лес."},
              {'g', "Задворки", "Сараи, поленницы и кучи навоза."},
              {'R', "Рыночный ряд", "Ряды навесов над дощатыми прилавками."},
              {'k', "Кузница", "Жарко. В горне пылают угли, звенит молот.",
               "Кузнец Вакула раздувает меха."},
              {'i', "Изба знахарки", "Под потолком сохнут пучки трав."},
              {'j', "Сушильня", "Травы разложены на решётах под навесом."},
              {'f', "Огороды", "Грядки с капустой и репой, пугало в драном кафтане."},
              {'Z', "Южные ворота", "Ворота выходят на ковыльные холмы."},
          });
    b.Door(b.At(-4, -1, 0), kSouth, "дверь");
    b.Door(b.At(-2, 2, 0), kEast, "дверь");
    b.Door(b.At(0, 1, 0), kSouth, "ворота");
    // Two exits of the temple into the square: its door to the south and the stair down.
    b.OneWay(b.At(-1, 0, 0), kDown, b.At(0, 0, 0));
}

void LayRoad(RegionBuilder& b) {
    b.Lay(kRoad, -12, -12, 0,
          {
              "K-T-T-T-T-T-T-T-K", //
              "|   |           |", //
              "T   c           T", //
              "|               |", //
              "T               T", //
              "|               |", //
              "T               T", //
              "|               |", //
              "T               T", //
              "|               |", //
              "T-i             D", //
              "|                ", //
              "T                ", //
              "|                ", //
              "M                ", //
              "|                ", //
              "T                ", //
              "|                ", //
              "T                ", //
              "|                ", //
              "T                ", //
              "|                ", //
              "T                ", //
              "|                ", //
              "K-T-T-C-T-T-T-F-G", //
          },
          {
              {'K', "Поворот тракта", "Тракт круто поворачивает, колеи здесь глубже."},
              {'T', "Старый тракт", "Разбитая телегами дорога тянется вдаль.", nullptr, 2, "",
               "В темноте у обочины ухает филин."},
              {'c', "Придорожная часовня", "Крохотная часовня с образом над входом."},
              {'i', "Корчма \"Кривая подкова\"", "Дымная корчма, у очага греются возчики.",
               "Корчмарь косится на вас из-за бочки."},
              {'D', "Конец тракта", "Тракт упирается в частокол Ольховки."},
              {'M', "Верстовой столб", "Полосатый столб с полустёртыми цифрами."},
              {'C', "Обрыв над оврагом", "Дорога идёт по самому краю обрыва. Внизу темнеет овраг."},
              {'F', "Развилка у брода", "От тракта на юг сворачивает тропа к долине."},
              {'G', "Тракт у ворот", "Впереди, на востоке, ворота Ольховки."},
          });
    b.Door(b.At(-7, -12, 0), kEast, "дверь");
}

} // namespace

World World::Region() {
    World world{Blank{}};
    world.welcomeUtf8_ = {
        "\x1B[1;32mДобро пожаловать в Ольховскую волость!\x1B[0;37m",
        "Здесь больше трёхсот комнат для проверки картографа. Наберите 'помощь'."};
    world.clock_ = Clock{true, 8, 4, 6, 20, 10};
    RegionBuilder b(world);
    LayVillage(b);
    LayRoad(b);
    LayValley(b);
    LayHills(b);
    LayCaves(b);
    LayForest(b);

    // The road leaves by the west gate and comes back by the north-west gate, off the grid.
    b.Link(b.At(0, -3, 0), kWest, b.At(0, -4, 0));
    b.Link(b.At(-7, -4, 0), kEast, b.At(-4, -3, 0));
    // From the road south into the valley, and the drop from the cliff into the ravine.
    b.Link(b.At(0, -11, 0), kSouth, b.At(1, -11, 0));
    b.Link(b.At(0, -5, 0), kSouth, b.At(1, -5, 0));
    b.OneWay(b.At(0, -9, 0), kDown, b.At(0, -9, -1));
    // The hills south of the village, the forest east of it and of the hills.
    b.Link(b.At(4, 0, 0), kSouth, b.At(5, 0, 0));
    b.Link(b.At(0, 4, 0), kEast, b.At(0, 5, 0));
    b.Link(b.At(5, 5, 0), kNorth, b.At(4, 5, 0));

    world.start_ = b.At(0, 0, 0);
    world.Finish();
    return world;
}

} // namespace demo
