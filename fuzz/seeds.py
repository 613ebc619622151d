#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target (fuzz/corpus/<target>/) and the dictionaries.

The seeds are kept in the repository; run this again after changing it. Text is Windows-1251.
"""
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.abspath(__file__))
IAC, WILL, DO, SB, SE, GA = 0xFF, 0xFB, 0xFD, 0xFA, 0xF0, 0xF9


def w(s):
    return s.encode("cp1251")


def pieces(*parts):
    """Pieces as the targets read them: backslashes doubled, each ended by a backslash."""
    out = b""
    for p in parts:
        out += p.replace(b"\\", b"\\\\") + b"\\|"
    return out


def room(name, desc, exits):
    return b"\x1b[1;36m" + w(name) + b"\x1b[0m\r\n" + w(desc) + b"\r\n\x1b[36m[ Exits: " + w(exits) + b" ]\r\n"


def save(target, name, data):
    d = os.path.join(ROOT, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def decoder():
    offer2 = bytes([IAC, WILL, 0x56])
    start2 = bytes([IAC, SB, 0x56, IAC, SE])
    offer1 = bytes([IAC, WILL, 0x55])
    start1 = bytes([IAC, SB, 0x55, WILL, SE])
    text = room("Площадь", "Большая площадь, я стою здесь.", "n e s w").replace(b"\xff", b"\xff\xff")
    save("decoder", "mccp2", bytes([0x07]) + pieces(b"Welcome\r\n" + offer2 + b"Login: " + start2,
                                                      text * 3, b"") + bytes([0, 3, 40, 1, 255]))
    save("decoder", "mccp2-end", bytes([0x0F]) + pieces(offer2 + start2, text, b"plain again\r\n" + text)
         + bytes([1, 1, 1, 2, 5]))
    save("decoder", "mccp1", bytes([0x05]) + pieces(offer1 + start1, text, b""))
    save("decoder", "refused", bytes([0x06]) + pieces(offer2 + offer1 + b"text" + start2, b"", b"more"))
    telnet = (bytes([IAC, WILL, 0x45, IAC, WILL, 0x19, IAC, DO, 0x1F, IAC, SB, 0x18, 0x01, IAC, IAC, IAC, SE])
              + w("Вых:СВЮЗ> ") + bytes([IAC, GA]) + w("моя ") + b"\xff\xff\xff" + bytes([GA]))
    save("decoder", "telnet", bytes([0x02]) + pieces(telnet, b"", b"") + bytes([0] * 40))
    # A compressed stream handed over raw: the fuzzer corrupts it from here.
    save("decoder", "raw-mccp2", bytes([0x03]) + pieces(offer2 + start2 + zlib.compress(text) + b"after", b"", b""))


def intake():
    links = w("Лес|на север|12|открыть дверь;с|-1\nЛес|на юг|3||0\n")
    blocks = ["n\r\n", "гоу дом\r\n", "наа тут\r\n", "нзНовая зона\r\n", "нз\r\n", "стоптр\r\n",
              "лор меч\r\n", "look\r\n", "назад\r\n", "e\r\nw\r\n\r\n", "гоу\r\n", "очистить\r\n",
              "подкрасться n\r\n"]
    save("intake", "commands", bytes([0x05]) + pieces(links, w("дом"), *[w(b) for b in blocks]))
    save("intake", "ya", bytes([0x0F]) + pieces(b"", w("моя"), w("гоу моя").replace(b"\xff", b"\xff\xff") + b"\r\n",
                                                   w("наа я\r\n"), b"\xff\xff\r\n"))


def tracking():
    a = room("Площадь", "Большая площадь.", "n e")
    b = room("Улица", "Узкая улица.", "s")
    c = room("Сад", "Тихий сад.", "w")
    seq = [b">look", a, b">n", w("Вы поплелись на север.\r\n") + b, b">s", a, b">e", c, b">w", a,
           b">n", w("Вы не сможете туда пройти...\r\n"), b">d", w("Слишком темно...\r\n"),
           b"~", b"~", b">look", a[:20], a[20:], w(">убежать"), w("Вы быстро убежали на север.\r\n") + b]
    save("tracking", "walk", bytes([0]) + pieces(*seq))
    prompt = w("Площадь\r\nОписание.\r\n") + w("Вых:СЮ> ")
    save("tracking", "prompt", bytes([1]) + pieces(b">look", room("Двор", "Двор.", "n s") + w("Вых:СЮ> "),
                                                   b">n", prompt))
    marked = w("<n>Зал</n>\r\nОписание зала.\r\n[Exits: n s]\r\n")
    save("tracking", "markers", bytes([8]) + pieces(b"<n>", b"</n>#$0D#$0A", b"[Exits:", b"]",
                                                    b">look", marked, b">s", marked.replace(w("Зал"), w("Холл"))))
    save("tracking", "follow", bytes([4]) + pieces(b">look", a, w("Вы последовали за Вовой на север.\r\n") + b))
    ga = b"\r\n> \xff\xf9"
    save("tracking", "ga", bytes([16]) + pieces(b">look", a + ga, b">n\ne", w("Закрыто.") + ga + c + ga,
                                                b">w", a + ga[:3], ga[3:] + w("Крыса пришла.") + ga))


def report():
    tmpl = w('Вы узнали следующее:\r\nПредмет "/$", тип : /$\r\n//Вес : /$\r\n')
    text = w('Вы узнали следующее:\r\nПредмет "меч", тип : ОРУЖИЕ\r\nВес : 5\r\n\r\n')
    stuff = w('Вы узнали следующее:#$0D#$0AПредмет "/$", тип : /$#$0D#$0A//Вес : /$#$0D#$0A')
    mob = w("[[Это][Он]] /$ /+(летает)\r\n")
    pending = text + w("Он большой волк (летает)\r\n\r\n") + room("Поле", "Поле.", "n")
    save("report", "item", pieces(tmpl, text, stuff, b"2,1", mob, b"1,2", pending))
    save("report", "alternatives", pieces(w("[[А /$][Б /$]]/* конец\r\n"), w("Б тут и там конец\r\n"),
                                          b"", b"", w("/$ - /$\r\n"), b"x", w("волк - серый\r\n")))


def zonefile():
    def sstr(b):
        return bytes([len(b)]) + b

    def prop(name, value):
        return sstr(name.encode()) + value

    def i32(v):
        if -128 <= v < 128:
            return b"\x02" + struct.pack("<b", v)
        if -32768 <= v < 32768:
            return b"\x03" + struct.pack("<h", v)
        return b"\x04" + struct.pack("<i", v)

    def text(b):
        return (b"\x06" + sstr(b)) if len(b) < 256 else (b"\x0c" + struct.pack("<I", len(b)) + b)

    def rec(props):
        return b"TPF0" + sstr(b"TMudRoom2") + sstr(b"") + b"".join(props) + b"\x00\x00"

    t, f = b"\x09", b"\x08"
    r1 = rec([prop("Tag", i32(1)), prop("Exits", text(b"n e")), prop("Hint", text(w("Площадь"))),
              prop("ChN", t), prop("ChS", f), prop("ChW", f), prop("ChE", t), prop("ChU", f), prop("ChD", f),
              prop("BColor", b"\x07" + sstr(b"clRed")), prop("Description", text(w("Длинное описание. ") * 20)),
              prop("X", i32(0)), prop("Y", i32(0)), prop("L", i32(0)), prop("DX", i32(0)), prop("DY", i32(0)),
              prop("DL", i32(0)), prop("Checked", t), prop("Note", text(w("заметка"))),
              prop("QuickList", text(w("дом"))),
              prop("AutoMaps.Strings", b"\x01" + text(w("Лес|на север|5|открыть;с")) + b"\x00"),
              prop("ImageIndex", i32(3))])
    r2 = rec([prop("Tag", i32(2)), prop("Exits", text(b"s")), prop("Hint", text(w("Улица"))),
              prop("BColor", i32(0x00FF00)), prop("X", i32(-1)), prop("Y", i32(70000)), prop("L", i32(-300)),
              prop("Pipe", t), prop("DT", t), prop("Agro", t)])
    save("zonefile", "two-rooms", r1 + r2)
    save("zonefile", "cut", (r1 + r2)[: len(r1) + 30])
    save("zonefile", "empty", b"")


def objects():
    base = ("<Quarvelin v. 1.0>\r\n<node>\r\nПредметы\r\n0\r\n<end node>\r\n<node>\r\nОружие\r\n1\r\n<end node>\r\n"
            "<node>\r\nмеч\r\n2\r\nПредмет \"меч\", тип : ОРУЖИЕ\r\nВес : 5\r\n<end node>\r\n"
            "<node>\r\nМобы\r\n0\r\n<end node>\r\n<node>\r\nволк\r\n1\r\nсерый\r\n<end node>\r\n")
    save("objects", "base", w(base))
    save("objects", "treepad", w("<Treepad version 2.7>\n<node>\nКорень\n0\nтекст\n<end node>\n<node>\nлист\n3\n<end node>\n"))
    save("objects", "bad-level", w("<node>\r\nа\r\nx1\r\n<end node>\r\n"))


def ini():
    with open(os.path.join(ROOT, "..", "data", "local.ini"), "rb") as f:
        save("ini", "template", f.read())
    profile = ("[Connect]\r\nClient Port=4999\r\nServer Name=127.0.0.1\r\nServer Port=4000\r\n"
               "[Options]\r\nNoDoubleYa=1\r\nMccpEnabled=1\r\nZone=Лес\r\n[Exits]\r\nNorth=с\r\nAutoexitsIgnoreCase=1\r\n"
               "[Messages]\r\nAutoexitStart=#$1B[0;36m[ Exits:\r\nAutoexitEnd=]\r\nRoomNameStart=#$1B[1;36m\r\n"
               "StuffTem=\"Предмет \"/$\"\"\r\nStuffSeq=1\r\nDark= Слишком темно... \r\n"
               "[Leader Move]\r\nMove0=пошел\r\nmove0=дубль\r\n[Can`t Move]\r\nMove0=Вы не сможете\r\n"
               "[Dark]\r\nDark0=темно\r\n[Lock]\r\nЛес=1\r\n[Moves]\r\nDirections=на север|на юг|на запад|на восток|вверх|вниз\r\n"
               "[Skin]\r\nIniFile=skin.ini\r\nCurrentSkin=2\r\n[Window]\r\nTop=10\r\nLeft=-5\r\n"
               "[Options]\r\nSpeedWalkLength=5\r\nWorld=Мир\r\n[Commands]\r\nNewZone=нз\r\n")
    save("ini", "profile", w(profile))
    save("ini", "odd", b"  [ a ]  \n=x\nkey\r\n[b\r\nk = \"v\" \r\nlast=no line end")


def session():
    def rec(kind, ms, data):
        return kind + b" " + str(ms).encode() + b" " + str(len(data)).encode() + b"\r\n" + data + b"\r\n"
    head = b"Quarvelin session 1\r\n"
    walk = (head + rec(b"E", 0, b"client connected") + rec(b"E", 1, b"server connected")
            + rec(b"C", 40, b"look\r\n") + rec(b"S", 52, b"\x1b[1;36m" + w("Площадь") + b"\x1b[0m\r\n"
            + w("Мощёная площадь.") + b"\r\n\x1b[36m[ Exits: N E ]\r\n> \xff\xf9")
            + rec(b"C", 900, b"n\r\n") + rec(b"S", 930, w("Закрыто (дверь).") + b"\r\n> \xff\xf9")
            + rec(b"E", 2000, b"server closed"))
    save("session", "walk", walk)
    save("session", "cut", walk[:-7])
    save("session", "header-only", head)
    save("session", "bad-length", head + b"S 1 99999999999\r\nx\r\n")


def identity():
    V, L, TO, TC = b"\x01", b"\x02", b"\x03", b"\x04"
    msdp = (V + b"ROOM" + L + TO + V + b"VNUM" + L + b"6032" + V + b"NAME" + L + w("Площадь") + V + b"AREA" + L
            + w("Заводь") + V + b"EXITS" + L + TO + V + b"n" + L + b"6033" + V + b"e" + L + b"6040" + TC + TC)
    save("identity", "msdp-room", b"\x00" + msdp)
    save("identity", "msdp-more", b"\x00" + V + b"HEALTH" + L + b"10" + V + b"L" + L + b"\x05" + L + b"a" + b"\x06" + msdp)
    gmcp = ('Room.Info {"num": 6032, "name": "Площадь", "area": "Заводь", "environment": "city", '
            '"exits": {"n": 6033, "e": "6040"}}').encode("utf-8")
    save("identity", "gmcp-room", b"\x01" + gmcp)
    save("identity", "gmcp-other", b"\x01" + b'Char.Vitals {"hp": 10}')


def gameids():
    head = b"Quarvelin room identity 1\r\n"
    save("gameids", "file", head + b"A|Village|" + w("Деревня") + b"\r\nA|A%2FB|A/B\r\n"
         + b"R|Village|3|1204|" + w("Деревня") + b"\r\nR|Village|3:2|77|\r\nR|A%2FB|-1|a\\pb\\\\c|x\\r\\n\r\n")
    save("gameids", "empty", head)
    save("gameids", "bad-line", head + b"R|z|one|5|a\r\n")
    save("gameids", "area-name", b"CON: the .tk2 caves?.")


def outofband():
    V, L, TO, TC = b"\x01", b"\x02", b"\x03", b"\x04"

    def sb(option, payload):
        return bytes([IAC, SB, option]) + payload.replace(b"\xff", b"\xff\xff") + bytes([IAC, SE])
    will = bytes([IAC, WILL, 69, IAC, WILL, 201])
    do = bytes([IAC, DO, 69, IAC, DO, 201])
    room = sb(69, V + b"ROOM" + L + TO + V + b"VNUM" + L + b"6032" + V + b"NAME" + L + w("Двор я") + V + b"EXITS"
              + L + TO + V + b"n" + L + b"6033" + TC + TC)
    info = sb(201, 'Room.Info {"num": 6032, "name": "Двор", "exits": {"n": 6033}}'.encode("utf-8"))
    text = w("Двор я\r\n").replace(b"\xff", b"\xff\xff") + b"> " + bytes([IAC, GA])
    client = (do + sb(69, V + b"REPORT" + L + b"ROOM" + L + b"HEALTH") + sb(69, V + b"UNREPORT" + L + b"ROOM")
              + sb(201, b'Core.Supports.Set ["Char 1"]') + sb(201, b'Core.Supports.Remove ["Room"]') + b"look\r\n")
    save("outofband", "game-first", bytes([0x07]) + pieces(client, will + room + text + info + text)
         + bytes([3, 1, 7, 2, 0, 1, 0, 2]))
    save("outofband", "client-first", bytes([0x0F]) + pieces(client, b"Hi\r\n" + will + info + room + text))
    save("outofband", "silent", bytes([0x03]) + pieces(b"n\r\n", will + room + text + sb(24, b"\x01"))
         + bytes([0] * 12))
    save("outofband", "off", bytes([0x04]) + pieces(client, will + room + text) + bytes([1, 0, 0]))


def learner():
    def ga(text):
        return text.replace(b"\xff", b"\xff\xff") + bytes([IAC, GA])

    def diku(name, exits, letters):
        return ga(b"\x1b[1;36m" + w(name) + b"\x1b[0m\r\n" + w("   Узкая улица ведёт с севера на юг.")
                  + b"\r\n\x1b[0;36m[ Exits: " + exits + b" ]\x1b[0m\r\n\r\n" + w("27H 84M Вых:" + letters + "> "))

    def cmd(word):
        return b">" + w(word) + b"\r\n"
    save("learner", "diku", bytes([0]) + pieces(
        w("Добро пожаловать!\r\n"), cmd("см"), diku("Улица А", b"e s", "ВЮ"), cmd("в"),
        diku("Улица Б", b"w s", "ЗЮ"), cmd("ю\r\nз"), diku("Двор", b"n e", "СВ") + diku("Сад", b"n", "С"),
        cmd("вн"), ga(w("Слишком темно...\r\n\r\nВых:С> ")), cmd("с"), ga(w("Извините, туда нельзя.\r\n> "))))

    def rom(name, exits):
        return name + b"\n\r  A road leads north and south.\n\r\n\r[Exits: " + exits + b"]\n\r\n\r<20hp 90mv> "
    save("learner", "rom", bytes([0]) + pieces(
        b"<20hp 90mv> ", b">l\r\n", rom(b"Street A", b"north east"), b">e\r\n", rom(b"Street B", b"west"),
        b">n\r\n", b"Alas, you cannot go that way.\n\r\n\r<20hp 90mv> "))

    def lp(name, sentence):
        return name + b"\r\nA long road.\r\n    " + sentence + b"\r\n> "
    save("learner", "lp", bytes([0]) + pieces(
        b"> ", b">look\r\n", lp(b"Road A", b"There are two obvious exits: north and east."), b">north\r\n",
        lp(b"Road B", b"There is one obvious exit: south."), b">west\r\n", b"What?\r\n> "))
    save("learner", "tinymux", bytes([0]) + pieces(
        b">look\r\n", b"\x1b[1mHall A\x1b[0m\r\nA bare hall.\r\nObvious exits:\r\nEast  South\r\n",
        b">e\r\n", b"\x1b[1mHall B\x1b[0m\r\nA bare hall.\r\nContents:\r\nBob\r\nObvious exits:\r\nWest\r\n"))
    save("learner", "prompt-only", bytes([1]) + pieces(
        cmd("см"), ga(b"\x1b[1;36m" + w("Улица") + b"\x1b[0m\r\n" + w("Вых:СВ^> ")), cmd("в"),
        ga(b"\x1b[1;36m" + w("Двор") + b"\x1b[0m\r\n" + w("Вых:З> "))))


DICTS = {
    "decoder": [b"\xff\xfb\x56", b"\xff\xfb\x55", b"\xff\xfa\x56\xff\xf0", b"\xff\xfa\x55\xfb\xf0",
                b"\xff\xff", b"\xff\xf9", b"\xff\xfa", b"\xff\xf0", b"\xff\xfd"],
    "intake": [w(x) for x in ["гоу ", "наа ", "нз", "стоптр", "лор ", "назад", "look", "очистить", "\r\n"]]
              + [b"\xff\xff", b"|"],
    "tracking": [b"\x1b[1;36m", b"\x1b[0m\r\n", b"\x1b[36m[ Exits:", b" ]\r\n", b"\r\n", b">n", b">s", b">e",
                 b">w", b">u", b">d", b">look", b"~", w("Вых:"), b">", w("Слишком темно"),
                 w("Вы не сможете"), w("Вы быстро убежали"), w("Вы последовали за"), w("на север"), b"->>", b"None!"],
    "report": [b"/$", b"/*", b"//", b"/+", b"[[", b"][", b"]]", b"\r\n", b"#$0D#$0A", b"#$1B", b","],
    "zonefile": [b"TPF0", b"\x09TMudRoom2"] + [bytes([len(n)]) + n.encode() for n in
                 ["Tag", "Exits", "Hint", "ChN", "BColor", "Description", "X", "Y", "L", "DX", "Pipe",
                  "Note", "QuickList", "AutoMaps.Strings", "ImageIndex", "clRed"]]
                + [b"\x0c\xff\xff\xff\xff", b"\x04\x00\x00\x00\x80"],
    "objects": [b"<node>\r\n", b"<end node>\r\n", b"\r\n0\r\n", b"\r\n1\r\n", b"\r\n-1\r\n", b"<Quarvelin v. "],
    "identity": [b"\x01", b"\x02", b"\x03", b"\x04", b"\x05", b"\x06", b"ROOM", b"VNUM", b"NAME", b"AREA",
                 b"EXITS", b"Room.Info ", b'"num"', b'"name"', b'"exits"', b"{", b"}", b":", b","],
    "gameids": [b"Quarvelin room identity 1\r\n", b"A|", b"R|", b"|", b"\\p", b"\\\\", b"\\r", b"\\n", b"\r\n",
                b":2", b"%2E", b".tk2", b"CON", b"COM1"],
    "outofband": [b"\xff\xfb\x45", b"\xff\xfb\xc9", b"\xff\xfd\x45", b"\xff\xfd\xc9", b"\xff\xfe\x45",
                  b"\xff\xfa\x45", b"\xff\xfa\xc9", b"\xff\xf0", b"\xff\xff", b"\x01REPORT\x02ROOM",
                  b"\x01UNREPORT", b"\x01ROOM\x02\x03\x01VNUM\x02", b"\x04", b"Core.Supports.Set [",
                  b"Core.Supports.Remove [", b'"Room 1"', b"Room.Info {", b'"num": ', b"]"],
    "learner": [b">look\r\n", b">n\r\n", b">e\r\n", b">" + w("с") + b"\r\n", b"\x1b[1;36m", b"\x1b[0m\r\n",
                b"\x1b[0;36m[ Exits: ", b"[Exits: ", b" ]\r\n", b"\r\n", b"\n\r", b"\xff\xf9", b"\xff\xff",
                b"\xff\xfa\x45", b"\xff\xf0", w("Вых:"), b"> ", b"Obvious exits:\r\n", b"obvious exits: ",
                b" and ", b"north", b"east", b"South", b"N E", w("СВЮЗ"), w("Слишком темно..."), b"#$"],
    "session": [b"Quarvelin session 1\r\n", b"S ", b"C ", b"E ", b" 0 ", b"\r\n", b"client connected",
                b"server closed", b"\xff\xf9"],
    "ini": [b"[Messages]", b"[Connect]", b"[Moves]", b"[Options]", b"[Leader Move]", b"[Can`t Move]", b"[Dark]",
            b"[Lock]", b"[Skin]", b"[Window]", b"[Exits]", b"=", b"\r\n", b"\"", b"#$0D#$0A", b"Client Port=",
            b"StuffTem=", b"Directions=", b"CurrentSkin=", b"Top=", b"SpeedWalkLength="],
}


def dicts():
    for name, words in DICTS.items():
        with open(os.path.join(ROOT, "dict", name + ".dict"), "w") as f:
            for word in words:
                f.write('"' + "".join(chr(c) if 32 <= c < 127 and c not in (34, 92) else "\\x%02X" % c
                                      for c in word) + '"\n')


if __name__ == "__main__":
    learner()
    decoder()
    intake()
    tracking()
    report()
    zonefile()
    objects()
    ini()
    session()
    identity()
    gameids()
    outofband()
    os.makedirs(os.path.join(ROOT, "dict"), exist_ok=True)
    dicts()
