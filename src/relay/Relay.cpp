#include "relay/Relay.h"

#include "profile/WorldProfile.h"
#include "relay/DebugLog.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <QTimer>
#include <algorithm>
#include <exception>
#if defined(Q_OS_LINUX)
#include <sys/socket.h>
#endif

namespace relay {

std::string VersionText() {
    return QUARVELIN_VERSION;
}

Relay::Relay(DebugLog& log, RelayHooks& hooks, const profile::WorldProfile& profile)
    : log_(log), hooks_(hooks), profile_(profile), outOfBand_(log) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* c = server_.nextPendingConnection())
            Guard([&] { SSClientConnect(c); });
    });
}

Relay::~Relay() {
    for (QTcpSocket* c : clients_) {
        c->disconnect(this);
        c->abort();
        delete c;
    }
    clients_.clear();
    if (cs_) {
        cs_->disconnect(this);
        cs_->abort();
        delete cs_;
        cs_ = nullptr;
    }
}

template <typename F> void Relay::Guard(F&& f) {
    // Nothing may escape into Qt's event loop: errors go to the application-wide handler.
    try {
        f();
    } catch (const std::exception& e) {
        hooks_.AppException(e.what());
    } catch (...) {
        hooks_.AppException("unknown error");
    }
}

void Relay::SetServer(const std::string& serverName, int port) {
    if (!serverName.empty() && serverName[0] >= '1' && serverName[0] <= '9') {
        address_ = serverName;
        hostName_.clear();
    } else {
        hostName_ = serverName;
        address_.clear();
    }
    serverPort_ = port;
}

bool Relay::ActivateListener() {
    if (replaying_) return false; // a replay has no network
    if (server_.isListening()) return true;
    // Only this machine may drive the player's game connection.
    if (server_.listen(QHostAddress::LocalHost, static_cast<quint16>(listenPort_))) return true;
    log_.ELine("Cannot listen on 127.0.0.1:" + std::to_string(listenPort_) + ": " +
               text::FromUnicode(server_.errorString()));
    return false;
}

void Relay::DeactivateListener() {
    server_.close();
    DropAllClients();
}

void Relay::DropAllClients() {
    while (!clients_.empty())
        CloseClient(clients_.front());
}

bool Relay::ServerSocketActive() const {
    return cs_ && cs_->state() != QAbstractSocket::UnconnectedState;
}

void Relay::DeactivateServer() {
    CloseServer();
}

void Relay::SendToServer(std::string_view bytes) {
    if (!ServerSocketActive() || bytes.empty()) return;
    cs_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void Relay::SendToClient(std::string_view bytes) {
    if (clients_.empty() || bytes.empty()) return;
    QTcpSocket* client = clients_.front();
#if defined(Q_OS_LINUX)
    // While nothing waits in the socket's own buffer, the text goes to the system at once: Qt
    // would first copy every byte of it into that buffer. What the system does not take now
    // (or an error, which Qt then meets on its own write) goes the usual way, behind it.
    if (client->bytesToWrite() == 0 && client->state() == QAbstractSocket::ConnectedState) {
        const qintptr fd = client->socketDescriptor();
        if (fd >= 0) {
            const ssize_t sent = ::send(static_cast<int>(fd), bytes.data(), bytes.size(),
                                        MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) bytes.remove_prefix(static_cast<std::size_t>(sent));
            if (bytes.empty()) return;
        }
    }
#endif
    client->write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Hand the text to the system at once, so that the client reads while the next block is
    // inflated, instead of after the whole burst.
    client->flush();
}

void Relay::ClientMsg(const std::string& msg, bool withPrefix) {
    if (!ServerSocketActive()) return;
    std::string body = profile_.AddDoubleYa ? text::ReplaceAll(msg, "\xFF", "\xFF\xFF") : msg;
    std::string line =
        withPrefix ? "\x1b[1;33m<Quarvelin v. " + VersionText() + "> " + body : "\x1b[1;33m" + body;
    SendToClient(line + "\x1b[0m\r\n");
}

void Relay::CloseClient(QTcpSocket* client) {
    auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end()) return;
    clients_.erase(it);
    client->disconnect(this);
    // A graceful close, so that a notice sent just before still reaches the client.
    if (client->state() == QAbstractSocket::UnconnectedState) {
        client->deleteLater();
    } else {
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        client->disconnectFromHost();
    }
    SSClientDisconnect(client);
}

void Relay::DiscardServerSocket() {
    if (!cs_) return;
    QTcpSocket* cs = cs_;
    cs_ = nullptr;
    cs->disconnect(this);
    cs->abort();
    cs->deleteLater();
}

void Relay::CloseServer() {
    if (!cs_) return;
    DiscardServerSocket();
    CSDisconnect();
}

void Relay::SSClientConnect(QTcpSocket* client) {
    if (ServerSocketActive()) {
        log_.DLine("SSClientConnect:Closing client socket");
        CloseServer();
    }
    clients_.push_back(client);
    connect(client, &QTcpSocket::readyRead, this,
            [this, client] { Guard([&] { SSClientRead(client); }); });
    connect(client, &QTcpSocket::disconnected, this, [this, client] {
        Guard([&] {
            auto it = std::find(clients_.begin(), clients_.end(), client);
            if (it == clients_.end()) return;
            clients_.erase(it);
            client->disconnect(this);
            client->deleteLater();
            SSClientDisconnect(client);
        });
    });
    connect(client, &QTcpSocket::errorOccurred, this,
            [this, client](QAbstractSocket::SocketError e) {
                if (e == QAbstractSocket::RemoteHostClosedError)
                    return; // the disconnect event follows
                Guard([&] { SSClientError(client); });
            });
    // The client caught up: the game's stream that was left waiting is read on.
    connect(client, &QTcpSocket::bytesWritten, this, [this, client] {
        if (reading_ || !cs_ || cs_->bytesAvailable() == 0 || clients_.empty() ||
            clients_.front() != client || ClientBacklog() >= kClientBacklog)
            return;
        Guard([&] { CSRead(); });
    });

    log_.DLine("SSClientConnect:Open client socket");
    // A socket that never connected goes quietly: nothing to tell anyone, the new client stays.
    DiscardServerSocket();
    cs_ = new QTcpSocket(this);
    QTcpSocket* cs = cs_;
    // Qt stops taking the game's bytes from the system when this much is unread.
    cs->setReadBufferSize(8 * kReadBlock);
    connect(cs, &QTcpSocket::connected, this, [this] { Guard([&] { CSConnect(); }); });
    connect(cs, &QTcpSocket::readyRead, this, [this] { Guard([&] { CSRead(); }); });
    connect(cs, &QTcpSocket::disconnected, this, [this, cs] {
        Guard([&] {
            if (cs != cs_) return;
            if (cs->bytesAvailable() > 0) CSRead(true); // the last words before the close
            if (cs != cs_) return;
            cs_ = nullptr;
            cs->disconnect(this);
            cs->deleteLater();
            CSDisconnect();
        });
    });
    connect(cs, &QTcpSocket::errorOccurred, this, [this, cs](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError || cs != cs_) return;
        Guard([&] { CSError(); });
    });
    if (!address_.empty()) {
        QHostAddress address;
        if (address.setAddress(
                QString::fromLatin1(address_.data(), static_cast<qsizetype>(address_.size())))) {
            cs->connectToHost(address, static_cast<quint16>(serverPort_));
        } else {
            // Reported like any failed connect, from the event loop.
            QTimer::singleShot(0, this, [this, cs] {
                if (cs == cs_) Guard([&] { CSError(); });
            });
        }
    } else {
        cs->connectToHost(text::ToUnicode(hostName_), static_cast<quint16>(serverPort_));
    }

    clientConnected_ = true;
    std::string welcome = "\x1b[1;33m<Quarvelin v. " + VersionText() + "> is online\x1b[0m\r\n";
    client->write(welcome.data(), static_cast<qint64>(welcome.size()));
    log_.DLine("SSClientWrite");
    decoder_.ResetOffer();
    ResetNegotiations();
    Record('E', "client connected");
}

void Relay::ResetNegotiations() {
    outOfBand_.Reset();
}

void Relay::SSClientRead(QTcpSocket* client) {
    QByteArray bytes = client->readAll();
    if (bytes.isEmpty()) return;
    std::string block(bytes.constData(), static_cast<size_t>(bytes.size()));
    // Recorded as read: a replay merges it again.
    Record('C', block);
    ClientRead(block);
}

void Relay::ClientRead(const std::string& block) {
    recent_.Add('C', block);
    outOfBand_.SetEnabled(profile_.MsdpEnabled, profile_.GmcpEnabled);
    std::string after;
    const std::string filtered = outOfBand_.FromClient(block, after);
    // A block that was all negotiation the program answered itself is no command.
    if (!filtered.empty()) hooks_.ClientBlock(filtered);
    SendToServer(after);
}

void Relay::SSClientDisconnect(QTcpSocket*) {
    Record('E', "client closed");
    log_.DLine("SSClientDisconnect");
    clientConnected_ = false;
    // (A replay has no socket; the server's close follows as a record of its own.)
    if (serverConnected_ &&
        (replaying_ || (cs_ && cs_->state() == QAbstractSocket::ConnectedState))) {
        log_.DLine("SSClientDisconnect:Closing client socket");
        CloseServer();
    } else if (!replaying_ && cs_ && cs_->state() != QAbstractSocket::UnconnectedState &&
               cs_->state() != QAbstractSocket::ConnectedState) {
        // The game had not answered yet: the connection is given up, or it would come up later
        // and stay open with no client behind it.
        log_.DLine("SSClientDisconnect:Giving up the server connection");
        DiscardServerSocket();
    }
    // The inflater is released here too, not only on the server's disconnect.
    decoder_.Reset();
    ResetNegotiations();
}

void Relay::SSClientError(QTcpSocket* client) {
    log_.DLine("SSClientError");
    serverConnected_ = false;
    hooks_.ModeClick(false);
    log_.DLine("SSClientError:Closing server socket");
    CloseClient(client);
    log_.DLine("SSClientError:Closing client socket");
    CloseServer();
}

void Relay::CSConnect() {
    Record('E', "server connected");
    log_.DLine("CSConnect");
    serverConnected_ = true;
    decoder_.Reset();
    lastStatus_ = decoder_.StatusText();
    hooks_.MccpStatus(lastStatus_);
    log_.DLine("CSWrite");
}

qint64 Relay::ClientBacklog() const {
    return clients_.empty() ? 0 : clients_.front()->bytesToWrite();
}

void Relay::CSRead(bool drain) {
    if (!server_.isListening()) {
        CloseServer();
        return;
    }
    reading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{reading_};
    while (cs_ && cs_->bytesAvailable() > 0 && (drain || ClientBacklog() < kClientBacklog)) {
        char buffer[kReadBlock];
        qint64 n = cs_->read(buffer, kReadBlock);
        if (n <= 0) break;
        if (!ServerRead(std::string_view(buffer, static_cast<size_t>(n)))) return;
    }
}

bool Relay::ServerRead(std::string_view raw) {
    // One result reused from read to read keeps its buffers.
    DecodeResult& r = readResult_;
    const bool wantText = hooks_.WantsServerText() || log_.DebugActiv;
    outOfBand_.SetEnabled(profile_.MsdpEnabled, profile_.GmcpEnabled);
    decoder_.Feed(raw, profile_.MccpEnabled, profile_.NoDoubleYa, r, wantText, &outOfBand_);
    if (!r.toServer.empty()) SendToServer(r.toServer);
    for (const auto& notice : r.notices)
        ClientMsg(notice, false);
    if (r.closeServer && !r.forward) {
        CloseServer();
        return false;
    }
    std::string status = decoder_.StatusText();
    if (status != lastStatus_) {
        lastStatus_ = status;
        hooks_.MccpStatus(status);
    }
    if (log_.DebugActiv) log_.DLine("CSRead: " + r.recognitionText);
    if (wantText)
        hooks_.TranslateCmd(r.recognitionText, r.prompts, decoder_.PromptsSeen(), r.identities);
    else
        hooks_.TranslateIdle(r.clientBytes);
    SendToClient(r.clientBytes);
    recent_.Add('S', r.Stream());
    // Recorded last, when nothing needs the text any more: the recorder takes the buffer. Even
    // an empty read is recorded, so that a replay logs it as this one did. The stream is
    // recorded whole, so that a replay finds the identities where this read did.
    if (recorder_ && !recorder_->Take('S', r.Stream())) RecorderStopped();
    if (r.closeServer) {
        CloseServer();
        return false;
    }
    return true;
}

void Relay::Record(char kind, std::string_view bytes) {
    if (recorder_ && !recorder_->Add(kind, bytes)) RecorderStopped();
}

void Relay::RecorderStopped() {
    log_.ELine("Session recording stopped: " + recorder_->Error() + " (" +
               text::FromUnicode(QString::fromStdString(recorder_->Path().string())) + ")");
    recorder_ = nullptr;
}

void Relay::Replay(const storage::SessionRecord& rec) {
    replaying_ = true;
    Guard([&] {
        switch (rec.kind) {
        case 'C':
            ClientRead(rec.bytes);
            break;
        case 'S':
            ServerRead(rec.bytes);
            break;
        default:
            // The events as the socket handlers take them, without the sockets.
            if (rec.bytes == "client connected") {
                log_.DLine("SSClientConnect:Open client socket");
                clientConnected_ = true;
                log_.DLine("SSClientWrite");
                decoder_.ResetOffer();
                ResetNegotiations();
            } else if (rec.bytes == "client closed") {
                SSClientDisconnect(nullptr);
            } else if (rec.bytes == "server connected") {
                CSConnect();
            } else if (rec.bytes == "server closed") {
                CSDisconnect();
            } else if (rec.bytes == "server error") {
                CSError();
            }
        }
    });
}

void Relay::CSDisconnect() {
    Record('E', "server closed");
    log_.DLine("CSDisconnect");
    serverConnected_ = false;
    hooks_.ModeClick(false);
    if (clientConnected_ && !clients_.empty()) {
        log_.DLine("CSDisconnect:Disable server socket");
        DeactivateListener();
        log_.DLine("CSDisconnect:Enable server socket");
        ActivateListener();
    }
    decoder_.Reset();
    ResetNegotiations();
    lastStatus_ = decoder_.StatusText();
    hooks_.MccpStatus(lastStatus_);
}

void Relay::CSError() {
    Record('E', "server error");
    hooks_.ModeClick(false);
    if (!clients_.empty())
        SendToClient("\r\n\x1b[1;33m<Quarvelin>\x1b[1;31m Server communication error\x1b[0m\r\n");
    log_.DLine("CSError:Disable server socket");
    DeactivateListener();
    log_.DLine("CSError:Enable server socket");
    ActivateListener();
    log_.DLine("CSError:Close client socket");
    DiscardServerSocket();
    serverConnected_ = false;
    decoder_.Reset();
    ResetNegotiations();
    lastStatus_ = decoder_.StatusText();
    hooks_.MccpStatus(lastStatus_);
}

} // namespace relay
