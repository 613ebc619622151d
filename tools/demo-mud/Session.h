#pragma once
// One player's connection to the demo game: telnet and MCCP towards the client, the commands
// of the game, and the flood of room text used to measure the mapper.

#include "World.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <random>
#include <string>
#include <string_view>
#include <zlib.h>

namespace demo {

struct Options {
    quint16 port = 4000;
    int mccp = 2;      // 0 none, 1 COMPRESS only, 2 COMPRESS2 then COMPRESS
    qint64 flood = 0;  // > 0: send this many bytes of room text, then hang up
    unsigned seed = 1; // the random walk of the flood
    // The room's identity out of band: MSDP's ROOM after a client's REPORT ROOM, GMCP's
    // Room.Info once a client supports Room. Neither is ever sent for a dark room.
    bool msdp = false, gmcp = false;
};

class Session : public QObject {
    Q_OBJECT
public:
    Session(QTcpSocket* socket, const World& world, const Options& options, QObject* parent);
    ~Session() override;

private:
    enum class Telnet { Data, Iac, Verb, Sub, SubIac };

    void OnReadyRead();
    void OnBytesWritten();
    void Greet();
    void OfferCompression();
    void Line(std::string line);
    void Move(Dir d, bool announce);
    void Flee(Dir preferred);
    void Door(const std::string& word, bool open);
    void Lore(const std::string& what);
    void ShowRoom();
    void Prompt();
    // Counts a command and moves the game's clock on when its hour has come.
    void Tick();
    bool Daytime() const;
    void Say(const std::string& utf8); // one line of game text
    // A whole subnegotiation from the client (option, then payload, 0xFF single).
    void Subnegotiation(const std::string& sub);
    // The room's identity, as the client asked for it.
    void SendIdentity();

    // Output: text has 0xFF doubled, raw bytes go as they are; Flush compresses when on.
    void Put(std::string_view cp1251);
    void PutRaw(std::string_view bytes);
    void Flush();
    void StartCompression(int version);
    void EndCompression();
    void Deflate(int flush);

    void MaybeStartFlood();
    void FloodStep();
    void WalkStep();
    void HalfClose();

    QTcpSocket* socket_;
    const World& world_;
    Options options_;
    std::mt19937 rng_;

    int room_;
    std::vector<std::array<bool, kDirCount>> closed_; // door state per room id
    int moves_ = 150;
    bool resting_ = false;
    long long commands_ = 0; // commands given, for the clock of a world that keeps one

    Telnet telnet_ = Telnet::Data;
    unsigned char verb_ = 0;
    std::string lineBuf_;
    bool lineTooLong_ = false;
    std::string sub_; // the subnegotiation being read
    bool msdpOn_ = false, msdpRoom_ = false, gmcpOn_ = false, gmcpRoom_ = false;

    bool offered2_ = false, offered1_ = false;
    bool refused2_ = false, refused1_ = false;
    bool compressing_ = false;
    z_stream zs_{};
    std::string out_;
    std::string packed_;

    qint64 floodLeft_ = 0;
    bool floodStarted_ = false;
    bool hangUpAfterFlood_ = false;
    bool halfClosePending_ = false;
    bool halfClosed_ = false;
    QTimer answerTimer_;
};

} // namespace demo
