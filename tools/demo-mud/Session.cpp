#include "Session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>

namespace demo {

namespace {

constexpr char kIac = '\xFF';
constexpr unsigned char kWill = 0xFB, kDo = 0xFD, kDont = 0xFE, kWont = 0xFC, kSb = 0xFA,
                        kSe = 0xF0, kGa = 0xF9;
constexpr unsigned char kCompress = 0x55, kCompress2 = 0x56, kMsdp = 0x45, kGmcp = 0xC9;
constexpr std::size_t kMaxSub = 64 * 1024;
constexpr std::size_t kMaxLine = 4096;
constexpr qint64 kMaxFloodKb = 1024 * 1024; // one gigabyte is more than any test needs
constexpr qint64 kFloodChunk = 16 * 1024;
constexpr qint64 kWriteBacklog = 1024 * 1024;

std::string Lower(std::string s) {
    for (char& ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z')
            ch = static_cast<char>(c + 32);
        else if (c >= 0xC0 && c <= 0xDF)
            ch = static_cast<char>(c + 32);
        else if (c == 0xA8)
            ch = static_cast<char>(0xB8); // Ё
    }
    return s;
}

// Command words, compared with the Windows-1251 input.
struct Words {
    std::string look = Cp1251("смотреть"), lookShort = Cp1251("см"), enter = Cp1251("войти"),
                open = Cp1251("открыть"), close = Cp1251("закрыть"), flee = Cp1251("убежать"),
                sneak = Cp1251("подкрасться"), rest = Cp1251("отдохнуть"), stand = Cp1251("встать"),
                lore = Cp1251("лор"), inv = Cp1251("инвентарь"), invShort = Cp1251("инв"),
                time = Cp1251("время"), flood = Cp1251("поток"), quit = Cp1251("конец"),
                help = Cp1251("помощь");
};

const Words& W() {
    static const Words words;
    return words;
}

// Lines the flood mixes in between rooms, so that the stream is not one room repeated.
const char* const kChatter[] = {
    "Стражник ударил вас. [%d]",
    "Вы попали в крысу. [%d]",
    "Крыса пыталась укусить вас, но промахнулась.",
    "Кузнец Добрыня сказал: 'Подковы по %d кун, не дороже.'",
    "Ветер шевелит листву.",
    "Вы получили %d очков опыта.",
    "Вы подняли %d кун.",
    "Голубь пролетел над вами, хлопая крыльями.",
};

// Texts printed with every step and prompt, converted once.
struct Cached {
    std::string walk[kDirCount]; // "Вы поплелись на север." CR LF
    std::string letter[kDirCount];
    std::string exitsLabel = Cp1251("V Вых:");
    std::vector<std::string> chatter;
    Cached() {
        for (int d = 0; d < kDirCount; ++d) {
            walk[d] = Cp1251(std::string("Вы поплелись ") + Info(static_cast<Dir>(d)).towardsUtf8 +
                             ".\r\n");
            letter[d] = Cp1251(Info(static_cast<Dir>(d)).promptUtf8);
        }
        for (const char* line : kChatter)
            chatter.push_back(Cp1251(line));
    }
};

const Cached& C() {
    static const Cached cached;
    return cached;
}

} // namespace

Session::Session(QTcpSocket* socket, const World& world, const Options& options, QObject* parent)
    : QObject(parent), socket_(socket), world_(world), options_(options), rng_(options.seed),
      room_(world.StartRoom()), closed_(static_cast<std::size_t>(world.HighestId()) + 1) {
    socket_->setParent(this);
    for (const Room& r : world_.Rooms())
        for (int d = 0; d < kDirCount; ++d)
            closed_[r.id][d] = r.exits[d].door;
    connect(socket_, &QTcpSocket::readyRead, this, &Session::OnReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Session::OnBytesWritten);
    connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(3000);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        refused1_ = refused2_ = true; // a client that never answers gets plain text
        MaybeStartFlood();
    });
    Greet();
}

Session::~Session() {
    if (compressing_) deflateEnd(&zs_);
}

void Session::Greet() {
    Say("");
    for (const std::string& line : world_.WelcomeUtf8())
        Say(line);
    PutRaw(std::string{kIac, static_cast<char>(kWill), static_cast<char>(kMsdp)});
    if (options_.gmcp)
        PutRaw(std::string{kIac, static_cast<char>(kWill), static_cast<char>(kGmcp)});
    OfferCompression();
    if (options_.flood > 0) {
        floodLeft_ = options_.flood;
        hangUpAfterFlood_ = true;
        Flush();
        answerTimer_.start();
        MaybeStartFlood();
        return;
    }
    ShowRoom();
    Prompt();
    Flush();
}

void Session::OfferCompression() {
    // Real servers send both offers in one packet, the newer version first.
    if (options_.mccp >= 2) {
        PutRaw(std::string{kIac, static_cast<char>(kWill), static_cast<char>(kCompress2)});
        offered2_ = true;
        refused2_ = false;
    }
    if (options_.mccp >= 1) {
        PutRaw(std::string{kIac, static_cast<char>(kWill), static_cast<char>(kCompress)});
        offered1_ = true;
        refused1_ = false;
    }
}

void Session::OnReadyRead() {
    const QByteArray data = socket_->readAll();
    if (halfClosePending_ || halfClosed_) return; // the game has ended; wait for the hang-up
    for (const char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        switch (telnet_) {
        case Telnet::Data:
            if (ch == kIac) {
                telnet_ = Telnet::Iac;
            } else if (ch == '\n') {
                if (!lineTooLong_) Line(lineBuf_);
                lineBuf_.clear();
                lineTooLong_ = false;
            } else if (ch != '\r') {
                if (lineBuf_.size() < kMaxLine)
                    lineBuf_.push_back(ch);
                else
                    lineTooLong_ = true;
            }
            break;
        case Telnet::Iac:
            if (ch == kIac) {
                if (lineBuf_.size() < kMaxLine) lineBuf_.push_back(ch);
                telnet_ = Telnet::Data;
            } else if (c == kWill || c == kWont || c == kDo || c == kDont) {
                verb_ = c;
                telnet_ = Telnet::Verb;
            } else {
                telnet_ = c == kSb ? Telnet::Sub : Telnet::Data;
                sub_.clear();
            }
            break;
        case Telnet::Verb:
            telnet_ = Telnet::Data;
            if (verb_ == kDo && !compressing_) {
                if (c == kCompress2 && offered2_)
                    StartCompression(2);
                else if (c == kCompress && offered1_)
                    StartCompression(1);
            } else if (verb_ == kDont) {
                if (c == kCompress2) refused2_ = true;
                if (c == kCompress) refused1_ = true;
            }
            if (verb_ == kDo || verb_ == kDont) {
                if (c == kMsdp) msdpOn_ = verb_ == kDo && options_.msdp;
                if (c == kGmcp) gmcpOn_ = verb_ == kDo && options_.gmcp;
            }
            MaybeStartFlood();
            break;
        case Telnet::Sub:
            if (ch == kIac)
                telnet_ = Telnet::SubIac;
            else if (sub_.size() < kMaxSub)
                sub_.push_back(ch);
            break;
        case Telnet::SubIac:
            if (c == kSe) {
                telnet_ = Telnet::Data;
                Subnegotiation(sub_);
                sub_.clear();
            } else {
                if (ch == kIac && sub_.size() < kMaxSub) sub_.push_back(ch);
                telnet_ = Telnet::Sub;
            }
            break;
        }
        if (socket_->state() != QAbstractSocket::ConnectedState) return;
    }
    Flush();
}

void Session::Line(std::string line) {
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    const std::size_t start = line.find_first_not_of(' ');
    line = start == std::string::npos ? std::string() : line.substr(start);
    const std::size_t blank = line.find(' ');
    const std::string verb = Lower(line.substr(0, blank));
    const std::string arg = blank == std::string::npos ? "" : line.substr(blank + 1);
    const Words& w = W();
    if (!verb.empty()) Tick();

    if (verb.empty()) {
        // nothing but a new prompt
    } else if (const Dir d = ParseDir(verb); d != kDirCount && arg.empty()) {
        Move(d, true);
    } else if (verb == "look" || verb == "l" || verb == w.look || verb == w.lookShort) {
        ShowRoom();
    } else if (verb == w.enter) {
        const Room* here = world_.Find(room_);
        if (here->portal) {
            Say("Вы шагнули в сияние и оказались в другом месте.");
            room_ = here->portal;
            ShowRoom();
        } else {
            Say("Вы не видите здесь ничего, куда можно войти.");
        }
    } else if (verb == "open" || verb == w.open) {
        Door(Lower(arg), true);
    } else if (verb == "close" || verb == w.close) {
        Door(Lower(arg), false);
    } else if (verb == w.flee) {
        Flee(ParseDir(Lower(arg)));
    } else if (verb == w.sneak) {
        const Dir d = ParseDir(Lower(arg));
        if (d == kDirCount)
            Say("Куда вы хотите подкрасться?");
        else
            Move(d, false);
    } else if (verb == "rest" || verb == w.rest) {
        resting_ = true;
        Say("Вы присели отдохнуть.");
    } else if (verb == "stand" || verb == w.stand) {
        resting_ = false;
        moves_ = 150;
        Say("Вы встали.");
    } else if (verb == w.lore) {
        Lore(Lower(arg));
    } else if (world_.GameClock().on && (verb == "time" || verb == w.time)) {
        const int hour = world_.GameClock().HourAfter(commands_);
        Say("Часы показывают " + std::to_string(hour) + ":00. Сейчас " +
            (Daytime() ? "день." : "ночь."));
    } else if (verb == "i" || verb == w.inv || verb == w.invShort) {
        Say("Вы несете:");
        for (const Item& item : world_.Items())
            Put(item.shortName + "\r\n");
    } else if (verb == "flood" || verb == w.flood) {
        const qint64 kb = std::clamp<qint64>(std::atoll(arg.c_str()), 0, kMaxFloodKb);
        floodLeft_ = kb * 1024;
        hangUpAfterFlood_ = false;
        FloodStep();
        return;
    } else if (verb == "nocompress") {
        if (compressing_) EndCompression();
        Say("Сжатие выключено.");
    } else if (verb == "compress") {
        if (compressing_) {
            Say("Сжатие уже включено.");
        } else {
            Say("Предлагаем сжатие.");
            OfferCompression();
        }
    } else if (verb == "quit" || verb == w.quit) {
        Say("До свидания!");
        if (compressing_) EndCompression();
        Flush();
        socket_->disconnectFromHost();
        return;
    } else if (verb == "help" || verb == w.help) {
        Say("Команды: n e s w u d, look, войти, открыть/закрыть <направление>,");
        Say("убежать [направление], подкрасться <направление>, отдохнуть, встать,");
        Say("лор <предмет>, инвентарь, поток <килобайт>, compress, nocompress, конец.");
        if (world_.GameClock().on) Say("время: который час в игре.");
    } else {
        Say("Чего?!");
    }
    Prompt();
}

void Session::Move(Dir d, bool announce) {
    const Room* here = world_.Find(room_);
    const Exit& exit = here->exits[d];
    if (resting_) {
        Say("Нет... Вы слишком расслаблены...");
    } else if (!exit.to) {
        Say("Вы не сможете туда пройти...");
    } else if (closed_[room_][d]) {
        Say("Закрыто (" + exit.doorUtf8 + ").");
    } else if (moves_ <= 0) {
        Say("Вы слишком устали.");
    } else {
        --moves_;
        if (announce) Put(C().walk[d]);
        room_ = exit.to;
        ShowRoom();
    }
}

void Session::Flee(Dir preferred) {
    const Room* here = world_.Find(room_);
    auto passable = [&](Dir d) {
        return d != kDirCount && here->exits[d].to && !closed_[room_][d];
    };
    Dir way = passable(preferred) ? preferred : kDirCount;
    // Otherwise the first open exit in the order north, south, west, east, up, down.
    for (Dir d : {kNorth, kSouth, kWest, kEast, kUp, kDown})
        if (way == kDirCount && passable(d)) way = d;
    if (way == kDirCount) {
        Say("ПАНИКА! Вы не смогли сбежать!");
        return;
    }
    Say("Вы быстро убежали с поля битвы.");
    room_ = here->exits[way].to;
    ShowRoom();
}

void Session::Door(const std::string& word, bool open) {
    const Dir d = ParseDir(word);
    const Room* here = world_.Find(room_);
    if (d == kDirCount || !here->exits[d].door) {
        Say(open ? "Что вы хотите открыть?" : "Что вы хотите закрыть?");
        return;
    }
    if (closed_[room_][d] == !open) {
        Say(open ? "Уже открыто." : "Уже закрыто.");
        return;
    }
    closed_[room_][d] = !open;
    closed_[here->exits[d].to][Info(d).opposite] = !open;
    Say((open ? "Вы открыли " : "Вы закрыли ") + here->exits[d].doorUtf8 + ".");
}

void Session::Lore(const std::string& what) {
    if (what.empty()) {
        Say("Что вы хотите опознать?");
        return;
    }
    for (const Item& item : world_.Items()) {
        for (const std::string& key : item.keywords) {
            if (key.compare(0, what.size(), what) != 0) continue;
            // Like most games, the report starts on a line of its own after the prompt.
            Put("\r\n");
            for (const std::string& line : item.lore)
                Put(line + "\r\n");
            return;
        }
    }
    Say("У вас нет этого.");
}

void Session::ShowRoom() {
    const Room* room = world_.Find(room_);
    if (room->dark) {
        Say("Здесь темно...");
        return;
    }
    Put("\x1B[1;36m" + room->name + "\x1B[0;37m\r\n");
    for (const std::string& line : room->Description(Daytime()))
        Put(line + "\r\n");
    Put("\x1B[36m[ Exits:" + world_.ExitList(*room, closed_[room_]) + "]\r\n\x1B[0;37m");
    for (const std::string& line : room->extras)
        Put(line + "\r\n");
    SendIdentity();
}

void Session::Subnegotiation(const std::string& sub) {
    if (sub.empty()) return;
    const auto option = static_cast<unsigned char>(sub[0]);
    const std::string_view payload = std::string_view(sub).substr(1);
    bool asked = false;
    if (option == kMsdp && msdpOn_) {
        // VAR "REPORT" VAL "ROOM" (the value may also be one of an array of names).
        if (payload.find("\x01REPORT\x02") != std::string_view::npos &&
            payload.find("ROOM") != std::string_view::npos)
            asked = msdpRoom_ = true;
    } else if (option == kGmcp && gmcpOn_) {
        if ((payload.rfind("Core.Supports.Set", 0) == 0 ||
             payload.rfind("Core.Supports.Add", 0) == 0) &&
            payload.find("\"Room ") != std::string_view::npos)
            asked = gmcpRoom_ = true;
    }
    if (asked) SendIdentity();
}

void Session::SendIdentity() {
    const Room* room = world_.Find(room_);
    if (room->dark) return; // the dark hides the room from mappers too
    auto raw = [&](unsigned char option, const std::string& payload) {
        std::string bytes{kIac, static_cast<char>(kSb), static_cast<char>(option)};
        for (char ch : payload) {
            bytes.push_back(ch);
            if (ch == kIac) bytes.push_back(kIac);
        }
        bytes += std::string{kIac, static_cast<char>(kSe)};
        PutRaw(bytes);
    };
    if (msdpOn_ && msdpRoom_) {
        // VAR ROOM VAL { VNUM NAME AREA ZONE EXITS { dir vnum ... } }, in Windows-1251.
        std::string p = "\x01ROOM\x02\x03\x01VNUM\x02" + std::to_string(room->vnum) +
                        "\x01NAME\x02" + room->name +
                        "\x01"
                        "AREA\x02" +
                        room->area + "\x01ZONE\x02" + std::to_string(room->vnum / 100) +
                        "\x01"
                        "EXITS\x02\x03";
        for (int d = 0; d < kDirCount; ++d)
            if (const int to = room->exits[d].to)
                p += "\x01" + std::string(Info(static_cast<Dir>(d)).command) + "\x02" +
                     std::to_string(world_.Find(to)->vnum);
        p += "\x04\x04";
        raw(kMsdp, p);
    }
    if (gmcpOn_ && gmcpRoom_) {
        auto quoted = [](const std::string& utf8) {
            std::string q = "\"";
            for (char ch : utf8) {
                if (ch == '"' || ch == '\\') q.push_back('\\');
                q.push_back(ch);
            }
            return q + "\"";
        };
        std::string json =
            "{\"num\": " + std::to_string(room->vnum) + ", \"name\": " + quoted(room->nameUtf8) +
            ", \"area\": " + quoted(room->areaUtf8) + ", \"environment\": \"town\", \"exits\": {";
        bool first = true;
        for (int d = 0; d < kDirCount; ++d)
            if (const int to = room->exits[d].to) {
                json += std::string(first ? "" : ", ") + "\"" + Info(static_cast<Dir>(d)).command +
                        "\": " + std::to_string(world_.Find(to)->vnum);
                first = false;
            }
        raw(kGmcp, "Room.Info " + json + "}}");
    }
}

void Session::Tick() {
    const Clock& clock = world_.GameClock();
    if (!clock.on) return;
    const int before = clock.HourAfter(commands_);
    if (clock.HourAfter(++commands_) != before) moves_ = std::min(150, moves_ + clock.movesPerHour);
}

bool Session::Daytime() const {
    const Clock& clock = world_.GameClock();
    return !clock.on || clock.IsDay(clock.HourAfter(commands_));
}

void Session::Prompt() {
    const Room* room = world_.Find(room_);
    std::string prompt = "\r\n100H " + std::to_string(moves_) + C().exitsLabel;
    for (int d = 0; d < kDirCount; ++d) {
        if (!room->exits[d].to) continue;
        const std::string& letter = C().letter[d];
        prompt += closed_[room_][d] ? "(" + letter + ")" : letter;
    }
    Put(prompt + "> ");
    PutRaw(std::string{kIac, static_cast<char>(kGa)});
}

void Session::Say(const std::string& utf8) {
    Put(Cp1251(utf8) + "\r\n");
}

void Session::Put(std::string_view text) {
    // The letter "я" is 0xFF, which telnet doubles.
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t ff = text.find(kIac, pos);
        if (ff == std::string_view::npos) {
            out_.append(text.substr(pos));
            break;
        }
        out_.append(text.substr(pos, ff + 1 - pos));
        out_.push_back(kIac);
        pos = ff + 1;
    }
}

void Session::PutRaw(std::string_view bytes) {
    out_.append(bytes);
}

void Session::Flush() {
    if (out_.empty() || socket_->state() != QAbstractSocket::ConnectedState) {
        out_.clear();
        return;
    }
    if (compressing_) {
        Deflate(Z_SYNC_FLUSH);
    } else {
        socket_->write(out_.data(), static_cast<qint64>(out_.size()));
        out_.clear();
    }
}

void Session::StartCompression(int version) {
    Flush();
    if (version == 2)
        PutRaw(std::string{kIac, static_cast<char>(kSb), static_cast<char>(kCompress2), kIac,
                           static_cast<char>(kSe)});
    else // the version-1 start sequence ends with WILL SE
        PutRaw(std::string{kIac, static_cast<char>(kSb), static_cast<char>(kCompress),
                           static_cast<char>(kWill), static_cast<char>(kSe)});
    Flush();
    zs_ = z_stream{};
    if (deflateInit(&zs_, Z_DEFAULT_COMPRESSION) != Z_OK) {
        socket_->disconnectFromHost();
        return;
    }
    compressing_ = true;
    offered1_ = offered2_ = false;
}

void Session::EndCompression() {
    Flush();
    Deflate(Z_FINISH);
    deflateEnd(&zs_);
    compressing_ = false;
}

void Session::Deflate(int flush) {
    zs_.next_in = reinterpret_cast<Bytef*>(out_.data());
    zs_.avail_in = static_cast<uInt>(out_.size());
    packed_.resize(deflateBound(&zs_, static_cast<uLong>(out_.size())) + 64);
    std::size_t used = 0;
    int rc;
    do {
        if (packed_.size() - used < 64) packed_.resize(packed_.size() * 2);
        zs_.next_out = reinterpret_cast<Bytef*>(packed_.data() + used);
        zs_.avail_out = static_cast<uInt>(packed_.size() - used);
        rc = deflate(&zs_, flush);
        used = packed_.size() - zs_.avail_out;
    } while (zs_.avail_out == 0 || (flush == Z_FINISH && rc == Z_OK));
    socket_->write(packed_.data(), static_cast<qint64>(used));
    out_.clear();
}

void Session::MaybeStartFlood() {
    if (floodStarted_ || options_.flood <= 0) return;
    const bool decided = options_.mccp == 0 || compressing_ ||
                         ((!offered2_ || refused2_) && (!offered1_ || refused1_));
    if (!decided) return;
    floodStarted_ = true;
    answerTimer_.stop();
    FloodStep();
}

void Session::OnBytesWritten() {
    // The flood of --flood waits for the client's answer to the compression offers.
    if (floodLeft_ > 0 && (floodStarted_ || !hangUpAfterFlood_)) FloodStep();
    if (halfClosePending_ && socket_->bytesToWrite() == 0) HalfClose();
}

void Session::FloodStep() {
    while (floodLeft_ > 0 && socket_->bytesToWrite() < kWriteBacklog &&
           socket_->state() == QAbstractSocket::ConnectedState) {
        const std::size_t before = out_.size();
        while (static_cast<qint64>(out_.size() - before) < std::min(floodLeft_, kFloodChunk))
            WalkStep();
        floodLeft_ -= static_cast<qint64>(out_.size() - before);
        Flush();
    }
    if (floodLeft_ > 0) return; // bytesWritten brings the rest
    floodLeft_ = 0;
    if (hangUpAfterFlood_) {
        if (compressing_) EndCompression();
        halfClosePending_ = true;
        if (socket_->bytesToWrite() == 0) HalfClose();
    } else {
        Prompt();
        Flush();
    }
}

void Session::HalfClose() {
    // Only our side is shut: the client reads everything up to the end of the stream and then
    // hangs up itself. Closing outright could reset the connection while an answer of the
    // client is still unread, and the client would lose the tail of the text.
    halfClosePending_ = false;
    halfClosed_ = true;
    socket_->flush();
    ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
    QTimer::singleShot(10000, socket_, [socket = socket_] { socket->abort(); });
}

void Session::WalkStep() {
    const Room* here = world_.Find(room_);
    Dir ways[kDirCount];
    int count = 0;
    for (int d = 0; d < kDirCount; ++d)
        if (here->exits[d].to) ways[count++] = static_cast<Dir>(d);
    if (count == 0) { // the hermit's cell: out through the portal
        room_ = here->portal ? here->portal : world_.StartRoom();
    } else {
        const Dir d = ways[rng_() % count];
        Put(C().walk[d]);
        room_ = here->exits[d].to;
    }
    ShowRoom();
    for (int i = static_cast<int>(rng_() % 3); i > 0; --i) {
        char line[160];
        const std::string& format = C().chatter[rng_() % C().chatter.size()];
        const int n =
            std::snprintf(line, sizeof line, format.c_str(), static_cast<int>(rng_() % 200));
        Put(std::string_view(line, static_cast<std::size_t>(std::clamp(n, 0, 150))));
        Put("\r\n");
    }
    moves_ = 50 + static_cast<int>(rng_() % 100);
    Prompt();
}

} // namespace demo
