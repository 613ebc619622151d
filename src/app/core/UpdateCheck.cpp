#include "app/core/UpdateCheck.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <vector>

namespace app {

namespace {

bool IsVersionChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The numbers of a dotted version ("1.10.2"); false for any other shape.
bool DottedNumbers(std::string_view s, std::vector<unsigned long>& out) {
    out.clear();
    if (s.empty()) return false;
    unsigned long n = 0;
    bool digits = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            if (n > 100000000) return false;
            n = n * 10 + static_cast<unsigned long>(c - '0');
            digits = true;
        } else if (c == '.' && digits) {
            out.push_back(n);
            n = 0;
            digits = false;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    out.push_back(n);
    return true;
}

} // namespace

std::string VersionFromAnswer(std::string_view answer) {
    const std::string err(kUpdateError);
    // "HTTP/1.x 200 ..." and nothing else: redirects and errors carry no version.
    const std::size_t lineEnd = answer.find('\n');
    if (lineEnd == std::string_view::npos) return err;
    const std::string_view status = answer.substr(0, lineEnd);
    const bool ok = status.size() >= 12 && status.substr(0, 7) == "HTTP/1." &&
                    status.substr(8, 4) == " 200" &&
                    (status.size() == 12 || status[12] == ' ' || status[12] == '\r');
    if (!ok) return err;
    std::size_t bodyStart = answer.find("\r\n\r\n");
    std::size_t skip = 4;
    if (bodyStart == std::string_view::npos) {
        bodyStart = answer.find("\n\n");
        skip = 2;
    }
    if (bodyStart == std::string_view::npos) return err;
    std::string_view body = answer.substr(bodyStart + skip);
    body = body.substr(0, body.find('\n'));
    body = TrimBlanks(body);
    if (body.empty() || body.size() > 32 || !std::all_of(body.begin(), body.end(), IsVersionChar))
        return err;
    return std::string(body);
}

bool IsNewerVersion(std::string_view announced, std::string_view own) {
    if (announced.empty() || announced == kUpdateError || announced == own) return false;
    std::vector<unsigned long> a, b;
    if (DottedNumbers(announced, a) && DottedNumbers(own, b)) {
        const std::size_t n = std::max(a.size(), b.size());
        a.resize(n, 0);
        b.resize(n, 0);
        return a > b;
    }
    return true;
}

std::string NewVersionMessage(std::string_view announced, std::string_view downloadPage) {
    return "New version available - " + std::string(announced) + "\r\n" +
           "Please visit: " + std::string(downloadPage);
}

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { Finish(std::string(kUpdateError)); });
}

UpdateCheck::~UpdateCheck() {
    done_ = nullptr;
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        delete socket_;
    }
}

void UpdateCheck::Start(const std::string& url, std::function<void(const std::string&)> done,
                        int timeoutMs) {
    // A check still running is abandoned: only the newest one answers.
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    deadline_.stop();
    answer_.clear();
    done_ = std::move(done);

    const QUrl address(QString::fromLatin1(url.c_str()), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    const bool https = scheme == "https";
    if (url.empty() || !address.isValid() || address.host().isEmpty() ||
        (scheme != "http" && !(https && QSslSocket::supportsSsl()))) {
        Finish(std::string(kUpdateError));
        return;
    }

    QTcpSocket* socket = https ? new QSslSocket(this) : new QTcpSocket(this);
    socket_ = socket;
    // Qt keeps no more than this much unread, whatever the server sends.
    socket->setReadBufferSize(kMaxAnswerBytes + 1);
    QByteArray path = address.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty()) path = "/";
    if (address.hasQuery()) path += "?" + address.query(QUrl::FullyEncoded).toLatin1();
    const int port = address.port(https ? 443 : 80);
    QByteArray host = address.host(QUrl::FullyEncoded).toLatin1();
    if (address.port() != -1) host += ":" + QByteArray::number(port);
    const QByteArray request = "GET " + path + " HTTP/1.0\r\nHost: " + host +
                               "\r\nUser-Agent: Quarvelin\r\nAccept: text/plain\r\n"
                               "Connection: close\r\n\r\n";

    auto send = [this, socket, request] {
        if (socket == socket_) socket->write(request);
    };
    if (https) {
        auto* ssl = static_cast<QSslSocket*>(socket);
        connect(ssl, &QSslSocket::encrypted, this, send);
        ssl->connectToHostEncrypted(address.host(), static_cast<quint16>(port));
    } else {
        connect(socket, &QTcpSocket::connected, this, send);
        socket->connectToHost(address.host(), static_cast<quint16>(port));
    }
    connect(socket, &QTcpSocket::readyRead, this, [this] { ReadSome(); });
    // The answer ends when the server closes the connection (HTTP/1.0).
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        ReadSome();
        if (socket_)
            Finish(VersionFromAnswer(std::string_view(answer_.constData(), answer_.size())));
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) return; // "disconnected" follows
        Finish(std::string(kUpdateError));
    });
    deadline_.start(timeoutMs);
}

void UpdateCheck::ReadSome() {
    if (!socket_) return;
    const qint64 room = kMaxAnswerBytes + 1 - answer_.size();
    if (room > 0) answer_ += socket_->read(room);
    // A version file is a few bytes: an answer that does not fit is not one.
    if (answer_.size() > kMaxAnswerBytes) Finish(std::string(kUpdateError));
}

void UpdateCheck::Finish(const std::string& result) {
    deadline_.stop();
    if (socket_) {
        QTcpSocket* socket = socket_;
        socket_ = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    answer_.clear();
    if (auto done = std::exchange(done_, nullptr)) done(result);
}

} // namespace app
