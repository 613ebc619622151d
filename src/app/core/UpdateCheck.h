#pragma once
// The update check: the text of the newest version is read from a small text file on a web
// server whose address the settings give. An empty address means no check: the answer is "err"
// at once and the network is not touched. The check never blocks: it runs on the event loop,
// gives up after a few seconds, and reads at most a few kilobytes whatever the server sends.

#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>

namespace app {

// What a failed or unusable check yields.
inline constexpr std::string_view kUpdateError = "err";

// The version text of a whole HTTP answer: the first line of the body of a "200" answer, when
// it looks like a version (letters, digits, ".", "-", "_", at most 32 characters); else "err".
std::string VersionFromAnswer(std::string_view answer);
// Whether `announced` names a newer version than `own`: dotted numbers are compared by number;
// texts of other shapes count as newer when they differ. "err" never does.
bool IsNewerVersion(std::string_view announced, std::string_view own);
// "New version available - " + version + CR LF + "Please visit: " + page
std::string NewVersionMessage(std::string_view announced, std::string_view downloadPage);

class UpdateCheck : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxAnswerBytes = 4096;
    static constexpr int kTimeoutMs = 5000;

    explicit UpdateCheck(QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Starts a check of `url` (http:// or https://); `done` receives the version text or "err"
    // exactly once: at once for an empty or unusable address, else from the event loop. A
    // check still running is abandoned without an answer.
    void Start(const std::string& url, std::function<void(const std::string&)> done,
               int timeoutMs = kTimeoutMs);
    bool Running() const { return socket_ != nullptr; }

private:
    void Finish(const std::string& result);
    void ReadSome();

    QPointer<QTcpSocket> socket_;
    QTimer deadline_;
    QByteArray answer_;
    std::function<void(const std::string&)> done_;
};

} // namespace app
