#pragma once
// The relay between the player's MUD client and the game server: the listening socket SS
// (127.0.0.1 only), the server connection CS, their event handlers, the notices injected into
// the client's stream, and the hand-over of server text to recognition and of client text to
// the command intake.

#include "relay/OutOfBand.h"
#include "relay/RecentSession.h"
#include "relay/ServerStreamDecoder.h"

#include "files/SessionFile.h"
#include "tracking/RoomIdentity.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace relay {

class DebugLog;

// What the relay asks of the rest of the program. Every call happens inside a socket event.
class RelayHooks {
public:
    virtual ~RelayHooks() = default;
    // The tracing switch (notices, buttons, tracking state).
    virtual void ModeClick(bool on) = 0;
    // A block from the client. The default intake forwards it unchanged.
    virtual void ClientBlock(const std::string& block) = 0;
    // Decoded server text for recognition and tracking, once per read, while it is wanted, with
    // the ends of the game's prompts in it (IAC GA or EOR) and whether the game sends them.
    // `identities`: what the game said out of band (MSDP, GMCP) about the player's room in this
    // read, placed by offsets into `text`.
    virtual void TranslateCmd(const std::string& text, const std::vector<std::size_t>& prompts,
                              bool promptsMarked,
                              const std::vector<tracking::IdentityAt>& identities) = 0;
    virtual bool WantsServerText() const { return true; }
    // A read while the text is not wanted: the bytes as they go to the client, so that the
    // hooks can look for the little they still need (and make the text only then).
    virtual void TranslateIdle(std::string_view) {}
    // Status bar panel 1 changed (" mccp: none", " mccp: V2 (75%)").
    virtual void MccpStatus(const std::string& text) = 0;
    // An exception escaped an event handler.
    virtual void AppException(const std::string& message) = 0;
};

std::string VersionText();

class Relay : public QObject {
    Q_OBJECT
public:
    static constexpr int kReadBlock = 8192;
    // While this much waits to go out to a client that reads slower than the game writes, the
    // game's stream is left unread (in the system's buffers, then the game's), so that memory
    // does not grow with the difference. Reading resumes as the client catches up.
    static constexpr qint64 kClientBacklog = 1 << 20;

    Relay(DebugLog& log, RelayHooks& hooks, const profile::WorldProfile& profile);
    ~Relay() override;

    // Configuration, applied by reading a profile.
    void SetListenPort(int port) { listenPort_ = port; }
    int ListenPort() const { return listenPort_; }
    // A name beginning with a digit 1-9 is a numeric address, anything else a host name.
    void SetServer(const std::string& serverName, int port);
    const std::string& HostName() const { return hostName_; }
    const std::string& Address() const { return address_; }
    int ServerPort() const { return serverPort_; }
    // The value written back to the profile: the host name if set, else the address.
    std::string ServerNameForProfile() const { return hostName_.empty() ? address_ : hostName_; }

    // Listening socket. Activation failures (a port in use) are logged and leave it inactive.
    bool ActivateListener();
    void DeactivateListener();
    bool Listening() const { return server_.isListening(); }
    quint16 ActualListenPort() const { return server_.serverPort(); }
    // Deactivates the server socket (drops the game connection).
    void DeactivateServer();

    bool ServerConnected() const { return serverConnected_; }
    bool ClientConnected() const { return clientConnected_; }
    bool HasClient() const { return !clients_.empty(); }

    void SendToServer(std::string_view bytes);
    void SendToClient(std::string_view bytes);
    // A notice to the client, only while the server socket is active.
    void ClientMsg(const std::string& text, bool withPrefix);

    const ServerStreamDecoder& Decoder() const { return decoder_; }
    // MSDP and GMCP between the game, the client and the program.
    const OutOfBand& OutOfBandState() const { return outOfBand_; }

    // Recording: from now on every read of the game (as the client gets it), every block of the
    // client and every event of the connections go to `writer` (null: no recording). A writer
    // that stops is reported once in the log and let go.
    void SetRecorder(storage::SessionWriter* writer) { recorder_ = writer; }
    storage::SessionWriter* Recorder() const { return recorder_; }
    // The last stretch of the session, recorded or not.
    const RecentSession& Recent() const { return recent_; }
    // Runs one recorded record as the socket event it stands for, without any socket: the
    // relay then never listens nor connects.
    void Replay(const storage::SessionRecord& record);
    // From now on the relay replays: it stops listening and never listens again.
    void BeginReplay() {
        DeactivateListener();
        replaying_ = true;
    }

    // Event handlers, named after the socket and event.
    void SSClientConnect(QTcpSocket* client);
    void SSClientRead(QTcpSocket* client);
    void SSClientDisconnect(QTcpSocket* client);
    void SSClientError(QTcpSocket* client);
    void CSConnect();
    // `drain`: read everything, however far behind the client is (the server has closed).
    void CSRead(bool drain = false);
    void CSDisconnect();
    void CSError();

private:
    // The work of one read of the game's stream; false when it closed the connection.
    bool ServerRead(std::string_view raw);
    // The work of one block from the client: its out-of-band part merged, the rest to the hooks.
    void ClientRead(const std::string& block);
    // A new game connection, or none: negotiations start afresh.
    void ResetNegotiations();
    void Record(char kind, std::string_view bytes);
    void RecorderStopped();
    bool ServerSocketActive() const;
    void CloseServer();                   // runs CSDisconnect at once
    void DiscardServerSocket();           // drops the server socket without any event
    void CloseClient(QTcpSocket* client); // runs SSClientDisconnect at once
    void DropAllClients();
    template <typename F> void Guard(F&& f);
    qint64 ClientBacklog() const;

    DebugLog& log_;
    RelayHooks& hooks_;
    const profile::WorldProfile& profile_;
    QTcpServer server_;
    std::vector<QTcpSocket*> clients_;
    QTcpSocket* cs_ = nullptr;
    int listenPort_ = 4000;
    std::string hostName_;
    std::string address_;
    int serverPort_ = 4000;
    bool serverConnected_ = false;
    bool clientConnected_ = false;
    ServerStreamDecoder decoder_;
    OutOfBand outOfBand_;
    DecodeResult readResult_;
    std::string lastStatus_;
    bool reading_ = false; // inside CSRead (a client's progress must not start another)
    bool replaying_ = false;
    storage::SessionWriter* recorder_ = nullptr;
    RecentSession recent_;
};

} // namespace relay
