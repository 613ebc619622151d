// The built-in icon strip: twenty 16 x 16 pictures drawn as pixel maps, one character a pixel.
// Icon 0 marks a dark room; 1 to 4 go with the room marks (death trap, fly death trap,
// aggressive mobs, impassable); the rest are free room pictures. Every icon keeps a dark outline
// so that it reads on light and dark room colours alike.

#include "Art.h"

#include <QPainter>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace art {
namespace {

using PixelMap = std::array<const char*, kIcon>;

QColor Colour(char c) {
    switch (c) {
    case 'K':
        return kInk;
    case 'W':
        return QColor(0xF8, 0xF8, 0xF8);
    case 'w':
        return QColor(0xC8, 0xC8, 0xCC);
    case 'g':
        return QColor(0x8E, 0x90, 0x96);
    case 'd':
        return QColor(0x4E, 0x50, 0x56);
    case 'R':
        return QColor(0xD8, 0x22, 0x22);
    case 'Y':
        return QColor(0xFF, 0xD4, 0x2A);
    case 'y':
        return QColor(0xB8, 0x88, 0x12);
    case 'O':
        return QColor(0xFF, 0x96, 0x1C);
    case 'B':
        return QColor(0x2A, 0x6A, 0xE8);
    case 'b':
        return QColor(0x9C, 0xCC, 0xFF);
    case 'N':
        return QColor(0x1A, 0x26, 0x5C);
    case 'L':
        return QColor(0x86, 0xD8, 0x58);
    case 'G':
        return QColor(0x34, 0xA0, 0x3C);
    case 'E':
        return QColor(0x1C, 0x66, 0x28);
    case 'T':
        return QColor(0x8C, 0x52, 0x22);
    case 't':
        return QColor(0xC4, 0x8C, 0x52);
    case 'P':
        return QColor(0xA0, 0x3C, 0xD0);
    case 'p':
        return QColor(0xE4, 0xB4, 0xF8);
    case 'S':
        return QColor(0xF0, 0xE8, 0xD0);
    default:
        return kKey;
    }
}

const std::array<PixelMap, kIcons> kMaps{{
    // 0 dark room: a night sky with a crescent moon
    {"................", ".....KKKKKK.....", "...KKNNNNNNKK...", "..KNNNNNNNNNNK..",
     ".KNNNNYYYNNNNNK.", ".KNNNYYNNNNNYNK.", "KNNNYYNNNNNNNNNK", "KNNNYYNNNNNNNNNK",
     "KNNNYYNNNNNNYNNK", "KNNNYYNNNNNNNNNK", "KNNNNYYNNNNNNNNK", ".KNNNNYYYNNNNNK.",
     ".KNNNNNNNNNNNNK.", "..KNNNNNNNNNNK..", "...KKNNNNNNKK...", ".....KKKKKK....."},
    // 1 death trap: a skull with red eyes
    {"................", "................", "....KKKKKKKK....", "...KSSSSSSSSK...",
     "..KSSSSSSSSSSK..", "..KSSSSSSSSSSK..", "..KSKKKSSKKKSK..", "..KSKRKSSKRKSK..",
     "..KSKKKSSKKKSK..", "..KSSSSKKSSSSK..", "...KSSSKKSSSK...", "....KSSSSSSK....",
     "....KSKSSKSK....", "....KSKSSKSK....", "....KKKKKKKK....", "................"},
    // 2 fly death trap: a winged skull
    {"................", "................", "................", "......KKKK......",
     ".....KSSSSK.....", "KK..KSSSSSSK..KK", "KWK.KSKSSKSK.KWK", "KWWKKSKSSKSKKWWK",
     ".KWWKSSSSSSKWWK.", ".KWWWKSKKSKWWWK.", "..KWWKSSSSKWWK..", "...KKKKSSKKKK...",
     "......KKKK......", "................", "................", "................"},
    // 3 aggressive mobs: crossed swords
    {"................", "KWK..........KWK", ".KWK........KWK.", "..KWK......KWK..",
     "...KWK....KWK...", "....KWK..KWK....", ".....KWKKWK.....", "......KWWK......",
     "......KWWK......", ".....KWKKWK.....", "...KYYK..KYYK...", "...KTK....KTK...",
     "..KTK......KTK..", ".KYK........KYK.", ".KK..........KK.", "................"},
    // 4 impassable: a no-entry sign
    {"................", ".....KKKKKK.....", "...KKRRRRRRKK...", "..KRRRRRRRRRRK..",
     ".KRRRRRRRRRRRRK.", ".KRRRRRRRRRRRRK.", "KRRRRRRRRRRRRRRK", "KRRWWWWWWWWWWRRK",
     "KRRWWWWWWWWWWRRK", "KRRRRRRRRRRRRRRK", ".KRRRRRRRRRRRRK.", ".KRRRRRRRRRRRRK.",
     "..KRRRRRRRRRRK..", "...KKRRRRRRKK...", ".....KKKKKK.....", "................"},
    // 5 shop: a striped awning over a shop front
    {"................", ".KKKKKKKKKKKKKK.", ".KRWRWRWRWRWRWK.", ".KRWRWRWRWRWRWK.",
     "KRWRWRWRWRWRWRWK", ".KKKKKKKKKKKKKK.", "..KttttttttttK..", "..KtKKKKKKKKtK..",
     "..KtKbbbbbbKtK..", "..KtKbbbbbbKtK..", "..KtKKKKKKKKtK..", "..KttttttttttK..",
     "..KTTTTTTTTTTK..", "..KKKKKKKKKKKK..", "................", "................"},
    // 6 temple: columns under a pediment
    {"................", ".......KK.......", ".....KKwwKK.....", "...KKwwwwwwKK...",
     ".KKwwwwwwwwwwKK.", "KKKKKKKKKKKKKKKK", ".KWWWWWWWWWWWWK.", ".KKKKKKKKKKKKKK.",
     "..KWK.KWWK.KWK..", "..KWK.KWWK.KWK..", "..KWK.KWWK.KWK..", "..KWK.KWWK.KWK..",
     ".KKKKKKKKKKKKKK.", "KWWWWWWWWWWWWWWK", "KKKKKKKKKKKKKKKK", "................"},
    // 7 bank: gold ingots
    {"................", "................", "................", "................",
     ".....KKKKKK.....", "....KYWYYYYK....", "....KYYYYYYK....", "....KyyyyyyK....",
     "....KKKKKKKK....", ".KKKKKK..KKKKKK.", "KYWYYYYKKYWYYYYK", "KYYYYYYKKYYYYYYK",
     "KyyyyyyKKyyyyyyK", "KKKKKKKKKKKKKKKK", "................", "................"},
    // 8 inn: a tankard of beer
    {"................", "................", "..KKKKKKKKKK....", "..KWWWWWWWWK....",
     "..KWWWWWWWWKKKK.", "..KYWYYYYYYK..K.", "..KYWYYYYYYK..K.", "..KYWYYYYYYK..K.",
     "..KYWYYYYYYK..K.", "..KYWYYYYYYKKKK.", "..KYWYYYYYYK....", "..KyyyyyyyyK....",
     "..KKKKKKKKKK....", "................", "................", "................"},
    // 9 smithy: an anvil with sparks
    {"................", "................", ".......Y..Y.....", "........O.......",
     "....KKKKKKKKKKK.", "KKKKgwwwwwwwwwgK", ".KggggggggggggK.", "..KKKKgggggggKK.",
     "......KgggggK...", "......KgggggK...", ".....KgggggggK..", "....KgggggggggK.",
     "....KKKKKKKKKKK.", "................", "................", "................"},
    // 10 water: waves
    {"................", "................", ".KKKKKKKKKKKKKK.", "KBBBBBBBBBBBBBBK",
     "KBBbbBBBBBbbBBBK", "KBbBBbBBBbBBbBBK", "KbBBBBbBbBBBBbBK", "KBBBBBBBBBBBBBBK",
     "KBBBbbBBBBBbbBBK", "KBBbBBbBBBbBBbBK", "KBbBBBBbBbBBBBbK", "KBBBBBBBBBBBBBBK",
     "KNNNNNNNNNNNNNNK", ".KKKKKKKKKKKKKK.", "................", "................"},
    // 11 tree
    {"................", ".....KKKKKK.....", "...KKLLLLGGKK...", "..KLLLLGGGGGGK..",
     ".KLLLGGGGGGGGGK.", ".KLLGGGGGGGGGEK.", "KLGGGGGGGGGGGEEK", "KGGGGGGGGGGGGEEK",
     "KGGGGGGGGGGGEEEK", ".KGGGGGGGGGEEEK.", "..KKGGGGEEEEKK..", "....KKKTTKKK....",
     "......KTTK......", "......KTTK......", ".....KTTTTK.....", ".....KKKKKK....."},
    // 12 stairs
    {"................", "................", "...........KKKKK", "...........KwwwK",
     "...........KgggK", ".......KKKKKgggK", ".......KwwwwgggK", ".......KgggggggK",
     "...KKKKKgggggggK", "...KwwwwgggggggK", "...KgggggggggggK", "KKKKgggggggggggK",
     "KwwwgggggggggggK", "KggggggggggggggK", "KKKKKKKKKKKKKKKK", "................"},
    // 13 key
    {"................", "................", "................", "................",
     "..KKKK..........", ".KYYYYK.........", "KYYKKYYKKKKKKKK.", "KYK..KYYYYYYYYYK",
     "KYYKKYYKKKKYKYK.", ".KYYYYK...KYKYK.", "..KKKK.....K.K..", "................",
     "................", "................", "................", "................"},
    // 14 chest
    {"................", "................", "...KKKKKKKKKK...", "..KttttttttttK..",
     ".KttttttttttttK.", ".KTTTTTTTTTTTTK.", ".KKKKKKYYKKKKKK.", ".KTTTTKYYKTTTTK.",
     ".KTTTTTKKTTTTTK.", ".KTTTTTTTTTTTTK.", ".KYTTTTTTTTTTYK.", ".KKKKKKKKKKKKKK.",
     "................", "................", "................", "................"},
    // 15 flag
    {"................", "..KK............", "..KdKKKKKKKKK...", "..KdKRRRRRRRRK..",
     "..KdKRRRRRRRRRK.", "..KdKRRRRRRRRRK.", "..KdKRRRRRRRRK..", "..KdKKKKKKKKK...",
     "..KdK...........", "..KdK...........", "..KdK...........", "..KdK...........",
     "..KdK...........", "..KdK...........", ".KdddK..........", ".KKKKK.........."},
    // 16 star
    {"................", ".......KK.......", "......KYYK......", "......KYYK......",
     ".....KYYYYK.....", "KKKKKKYYYYKKKKKK", "KYYYYYYYYYYYYYYK", ".KYYYYYYYYYYYYK.",
     "..KYYYYYYYYYYK..", "...KYYYYYYYYK...", "...KYYYYYYYYK...", "..KYYYYKKYYYYK..",
     "..KYYYK..KYYYK..", ".KYYKK....KKYYK.", ".KKK........KKK.", "................"},
    // 17 house
    {"................", ".......KK.......", "......KRRK......", ".....KRRRRK.....",
     "....KRRRRRRK....", "...KRRRRRRRRK...", "..KRRRRRRRRRRK..", ".KKKKKKKKKKKKKK.",
     "..KSSSSSSSSSSK..", "..KSbbSSSSbbSK..", "..KSbbSTTSbbSK..", "..KSSSSTTSSSSK..",
     "..KSSSSTTSSSSK..", "..KKKKKKKKKKKK..", "................", "................"},
    // 18 shield
    {"................", "..KKKKKKKKKKKK..", "..KBBBBYYBBBBK..", "..KBBBBYYBBBBK..",
     "..KBBBBYYBBBBK..", "..KYYYYYYYYYYK..", "..KYYYYYYYYYYK..", "..KBBBBYYBBBBK..",
     "..KBBBBYYBBBBK..", "...KBBBYYBBBK...", "...KBBBYYBBBK...", "....KBBYYBBK....",
     ".....KBYYBK.....", "......KYYK......", ".......KK.......", "................"},
    // 19 potion
    {"................", "......KKKK......", "......KttK......", "......KKKK......",
     "......KbbK......", "......KbbK......", ".....KbbbbK.....", "....KbbbbbbK....",
     "...KPPPPPPPPK...", "..KPPpPPPPPPPK..", "..KPpPPPPPPPPK..", "..KPPPPPPPPPPK..",
     "..KPPPPPPPPPPK..", "...KPPPPPPPPK...", "....KKKKKKKK....", "................"},
}};

} // namespace

QImage DrawIconStrip() {
    QImage strip(kIcon * kIcons, kIcon, QImage::Format_RGB32);
    strip.fill(kKey);
    QPainter p(&strip);
    for (int i = 0; i < kIcons; ++i)
        for (int y = 0; y < kIcon; ++y) {
            const char* row = kMaps[i][y];
            if (std::strlen(row) != kIcon) {
                std::fprintf(stderr, "icon %d row %d is not %d pixels wide\n", i, y, kIcon);
                std::exit(1);
            }
            for (int x = 0; x < kIcon; ++x)
                if (row[x] != '.') p.fillRect(i * kIcon + x, y, 1, 1, Colour(row[x]));
        }
    return strip;
}

} // namespace art
