#include "view/dialogs/AboutForm.h"

#include "files/AppSettings.h"
#include "files/Language.h"
#include "relay/Relay.h"
#include "text/Cp1251.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace view {

namespace {
constexpr const char* kSection = "AboutForm";

// The download page of the settings, else the address the version came from.
std::string DownloadPage(const storage::AppSettings& settings) {
    return settings.DownloadUrl.empty() ? settings.UpdateUrl : settings.DownloadUrl;
}
} // namespace

std::optional<unsigned long long> FreeMemoryBytes() {
    QFile meminfo("/proc/meminfo");
    if (!meminfo.open(QIODevice::ReadOnly)) return std::nullopt;
    // "MemAvailable" counts what can be had without swapping; older kernels only know "MemFree".
    std::optional<unsigned long long> available, free;
    // The file reports no size: it is read as far as it goes, within reason.
    for (const QByteArray& line : meminfo.read(16384).split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2) continue;
        bool ok = false;
        const unsigned long long kb = parts[1].toULongLong(&ok);
        if (!ok) continue;
        if (parts[0] == "MemAvailable:") available = kb * 1024;
        if (parts[0] == "MemFree:") free = kb * 1024;
    }
    return available ? available : free;
}

QString OperatingSystemText() {
    return QSysInfo::prettyProductName() + " (" + QSysInfo::kernelType() + " " +
           QSysInfo::kernelVersion() + ", " + QSysInfo::currentCpuArchitecture() + ")";
}

TAboutForm::TAboutForm(const storage::Language& texts, const storage::AppSettings& settings,
                       QWidget* parent)
    : QDialog(parent), texts_(texts), settings_(settings) {
    setObjectName("AboutForm");
    setWindowTitle(Caption("Caption", "О программе"));

    auto* title = new QLabel("Quarvelin", this);
    title->setObjectName("lblProduct");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* description = new QLabel(
        Caption("lblDescription", "Автоматический картограф для текстовых MUD-игр"), this);
    description->setObjectName("lblDescription");

    auto* fields = new QFormLayout;
    version_ = new QLabel(QString::fromStdString(relay::VersionText()), this);
    version_->setObjectName("lblVersion");
    fields->addRow(Caption("ProductVersion", "Версия:"), version_);
    system_ = new QLabel(OperatingSystemText(), this);
    system_->setObjectName("lblSystem");
    system_->setWordWrap(true);
    fields->addRow(Caption("WinVersion", "Операционная система:"), system_);
    const std::optional<unsigned long long> freeBytes = FreeMemoryBytes();
    const QString megabytes = Caption("MegaBytes", "МБ");
    memory_ = new QLabel(freeBytes ? QString::number(*freeBytes / (1024 * 1024)) + " " + megabytes
                                   : QString("?"),
                         this);
    memory_->setObjectName("lblMemory");
    fields->addRow(Caption("FreeMemory", "Свободная память:"), memory_);
    const QString homepageCaption = Caption("lblHomepage", "Страница программы:");
    const QString page = QString::fromStdString(DownloadPage(settings_)).toHtmlEscaped();
    if (!page.isEmpty()) {
        auto* link = new QLabel("<a href=\"" + page + "\">" + page + "</a>", this);
        link->setObjectName("lblLink");
        link->setOpenExternalLinks(true);
        link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        fields->addRow(homepageCaption, link);
    }

    status_ = new QLabel(this);
    status_->setObjectName("lblUpdateStatus");
    status_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    btnCheck_ = buttons->addButton(Caption("btnCheckUpdates", "Проверить обновления"),
                                   QDialogButtonBox::ActionRole);
    btnCheck_->setObjectName("btnCheckUpdates");
    QPushButton* ok = buttons->addButton(Caption("btnOk", "OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOk");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(btnCheck_, &QPushButton::clicked, this, &TAboutForm::CheckUpdates);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(description);
    layout->addSpacing(8);
    layout->addLayout(fields);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(380);

    // The texts of the check's answers are looked up now, so that the language file lists
    // them once the box was opened.
    for (const auto& [key, def] : {std::pair{"UpdateChecking", "Проверка..."},
                                   {"UpdateNotSet", "Адрес проверки обновлений не задан."},
                                   {"UpdateFailed", "Не удалось узнать последнюю версию."},
                                   {"UpdateNone", "Это последняя версия."},
                                   {"UpdateAvailable", "Доступна новая версия:"}})
        answers_[key] = Caption(key, def);
}

QString TAboutForm::Caption(const char* key, const char* utf8Default) const {
    return text::ToUnicode(texts_.GetCaption(kSection, key, text::W(utf8Default)));
}

void TAboutForm::CheckUpdates() {
    if (settings_.UpdateUrl.empty()) {
        status_->setText(answers_["UpdateNotSet"]);
        return;
    }
    status_->setText(answers_["UpdateChecking"]);
    btnCheck_->setEnabled(false);
    check_.Start(settings_.UpdateUrl, [this](const std::string& result) { UpdateChecked(result); });
}

void TAboutForm::UpdateChecked(const std::string& result) {
    btnCheck_->setEnabled(true);
    if (result == app::kUpdateError)
        status_->setText(answers_["UpdateFailed"]);
    else if (app::IsNewerVersion(result, relay::VersionText()))
        status_->setText(answers_["UpdateAvailable"] + " " + QString::fromStdString(result));
    else
        status_->setText(answers_["UpdateNone"]);
}

void StartupUpdateCheck(app::UpdateCheck& check, const storage::AppSettings& settings,
                        QWidget* window) {
    if (!settings.CheckUpdates) return;
    const std::string page = DownloadPage(settings);
    QPointer<QWidget> guard(window);
    check.Start(settings.UpdateUrl, [guard, page](const std::string& result) {
        if (!guard || !app::IsNewerVersion(result, relay::VersionText())) return;
        QMessageBox box(QMessageBox::Information, "Quarvelin",
                        text::ToUnicode(app::NewVersionMessage(result, page)).replace("\r\n", "\n"),
                        QMessageBox::Ok, guard);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    });
}

} // namespace view
