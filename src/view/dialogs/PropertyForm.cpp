#include "view/dialogs/PropertyForm.h"
#include "view/map/MapPictureMenu.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/dialogs/DialogCaptions.h"
#include "view/map/BitmapPanel.h"
#include "view/map/MapDialogs.h"
#include "view/map/MapPage.h"
#include "view/window/UiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace view {

namespace {
constexpr const char* kSection = "PropertyForm";

std::string Bytes(const QString& s) {
    return text::FromUnicode(s);
}
// Multi-line texts keep CR LF line ends in the room.
QString ForDisplay(const std::string& cp1251) {
    return U(cp1251).replace("\r\n", "\n");
}
std::string FromDisplay(const QPlainTextEdit* edit) {
    return Bytes(edit->toPlainText().replace("\n", "\r\n"));
}

} // namespace

TPropertyForm::TPropertyForm(app::Session& session, TMapPage& page, map::TMudRoom2& room,
                             QWidget* parent)
    : QDialog(parent), session_(session), page_(page), room_(room),
      editor_(std::make_unique<storage::RoomPropertyEditor>(session.World(), room)),
      painter_(page.Skin(), session.Profile()), paint_(page.PanelSettings()) {
    setObjectName("PropertyForm");
    chooseColor = [this](map::Color c) { return ChooseRoomColor(c, this); };

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    tabs_->addTab(BuildMainTab(), Caption("TabSheet1", "Основные"));
    tabs_->addTab(BuildExtraTab(), Caption("TabSheet2", "Дополнительные"));

    btnOk_ = new QPushButton(Caption("btnOk", "OK"), this);
    btnOk_->setObjectName("btnOk");
    btnOk_->setDefault(true);
    auto* cancel = new QPushButton(Caption("btnCancel", "Отмена"), this);
    cancel->setObjectName("btnCancel");
    connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    setWindowTitle(Caption("Caption", "Свойста поля") + " #" + QString::number(room.Tag));
    // No larger than needed; the layout keeps every control at its least size.
    resize(620, 400);

    editor_->onFlagsChanged = [this] { SyncFlags(); };
    editor_->onRepaint = [this] { panel1_->update(); };
    FillFields();
}

TPropertyForm::~TPropertyForm() = default;

QString TPropertyForm::Caption(const char* key, const char* utf8Default) const {
    return DialogCaption(session_.Texts(), kSection, key, utf8Default);
}

QWidget* TPropertyForm::BuildMainTab() {
    auto* tab = new QWidget;
    tab->setObjectName("TabSheet1");
    auto label = [tab, this](const char* key, const char* def, QWidget* buddy) {
        auto* l = new QLabel(Caption(key, def), tab);
        l->setObjectName(key);
        l->setBuddy(buddy);
        return l;
    };

    editName_ = new QLineEdit(tab);
    editName_->setObjectName("EditName");
    roomDescr_ = new QPlainTextEdit(tab);
    roomDescr_->setObjectName("RoomDescr");
    roomDescr_->setMinimumSize(340, 110);
    roomDescr_->setTabChangesFocus(true);
    editAlias_ = new QLineEdit(tab);
    editAlias_->setObjectName("EditAlias");
    editExits_ = new QLineEdit(tab);
    editExits_->setObjectName("EditExits");
    editChExits_ = new QLineEdit(tab);
    editChExits_->setObjectName("EditChExits");
    editChExits_->setMaximumWidth(90);

    auto* fields = new QGridLayout;
    fields->addWidget(label("lblName", "Имя:", editName_), 0, 0);
    fields->addWidget(editName_, 0, 1, 1, 3);
    fields->addWidget(label("lblDescription", "Описание:", roomDescr_), 1, 0, Qt::AlignTop);
    fields->addWidget(roomDescr_, 1, 1, 1, 3);
    fields->addWidget(label("lblAlias", "Алиас ", editAlias_), 2, 0);
    fields->addWidget(editAlias_, 2, 1, 1, 3);
    fields->addWidget(label("lblExits", "Выходы:", editExits_), 3, 0);
    fields->addWidget(editExits_, 3, 1);
    fields->addWidget(label("lblChecked", "проверенные:", editChExits_), 3, 2);
    fields->addWidget(editChExits_, 3, 3);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(1, 1);

    // The preview: the room alone on the map's background, in a lowered frame.
    auto* frame = new QFrame(tab);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    panel1_ = new TBitmapPanel(frame);
    panel1_->setObjectName("Panel1");
    panel1_->setMouseTracking(false);
    // A skin with large cells gets room around the cell.
    const int side = std::max(63, page_.CellSize() + 15);
    panel1_->setFixedSize(side, side);
    panel1_->ImageIndex = paint_.texture;
    panel1_->OnPaint = [this](QImage& canvas) { Panel1Paint(canvas); };
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(panel1_);

    btnColor_ = new QPushButton(Caption("btnColor", "Цвет ..."), tab);
    btnColor_->setObjectName("btnColor");
    connect(btnColor_, &QPushButton::clicked, this, [this] { btnColorClick(); });

    auto* side_ = new QVBoxLayout;
    side_->addWidget(frame, 0, Qt::AlignHCenter);
    side_->addWidget(btnColor_);
    const std::array<std::pair<const char*, const char*>, 4> marks{{{"cbDT", "ДТ"},
                                                                    {"cbFlyDT", "Флай ДТ"},
                                                                    {"cbAgro", "Агромобская"},
                                                                    {"cbNoStep", "Непроходимая"}}};
    for (int k = 1; k <= storage::RoomPropertyEditor::kFlagBoxes; ++k) {
        const auto& [key, def] = marks[static_cast<std::size_t>(k - 1)];
        auto* box = new QCheckBox(Caption(key, def), tab);
        box->setObjectName(key);
        connect(box, &QCheckBox::toggled, this,
                [this, k](bool checked) { editor_->cbPropClick(k, checked); });
        boxes_[static_cast<std::size_t>(k - 1)] = box;
        side_->addWidget(box);
    }
    comboBox1_ = new QComboBox(tab);
    comboBox1_->setObjectName("ComboBox1");
    side_->addWidget(label("lblPicture", "Картинка", comboBox1_));
    side_->addWidget(comboBox1_);
    side_->addStretch(1);
    FillPictures();
    connect(comboBox1_, &QComboBox::currentIndexChanged, this,
            [this](int entry) { editor_->ComboBox1Change(entry); });

    auto* layout = new QHBoxLayout(tab);
    layout->addLayout(fields, 1);
    layout->addSpacing(8);
    layout->addLayout(side_);

    connect(editName_, &QLineEdit::textChanged, this,
            [this](const QString& s) { editor_->EditNameChange(Bytes(s)); });
    connect(roomDescr_, &QPlainTextEdit::textChanged, this,
            [this] { editor_->RoomDescrChange(FromDisplay(roomDescr_)); });
    connect(editExits_, &QLineEdit::textChanged, this,
            [this](const QString& s) { editor_->EditExitsChange(Bytes(s)); });
    connect(editChExits_, &QLineEdit::textChanged, this,
            [this](const QString& s) { editor_->EditChExitsChange(Bytes(s)); });
    return tab;
}

QWidget* TPropertyForm::BuildExtraTab() {
    auto* tab = new QWidget;
    tab->setObjectName("TabSheet2");
    roomNote_ = new QPlainTextEdit(tab);
    roomNote_->setObjectName("RoomNote");
    roomNote_->setTabChangesFocus(true);
    connect(roomNote_, &QPlainTextEdit::textChanged, this,
            [this] { editor_->RoomNoteChange(FromDisplay(roomNote_)); });
    auto* lblNote = new QLabel(Caption("lblNote", "Примечание:"), tab);
    lblNote->setObjectName("lblNote");
    lblNote->setBuddy(roomNote_);

    automapList_ = new QTreeWidget(tab);
    automapList_->setObjectName("AutomapList");
    automapList_->setRootIsDecorated(false);
    automapList_->setAllColumnsShowFocus(true);
    automapList_->setHeaderLabels(
        {Caption("AuomapColumn1", "Карта"), Caption("AuomapColumn2", "Выход"),
         Caption("AuomapColumn3", "Поле"), Caption("AuomapColumn4", "Команда")});
    automapList_->setColumnWidth(0, 150);
    automapList_->setColumnWidth(1, 100);
    automapList_->setColumnWidth(2, 50);
    auto* lblAutomap = new QLabel(Caption("lblAutomap", "Автозагрузка зон:"), tab);
    lblAutomap->setObjectName("lblAutomap");
    lblAutomap->setBuddy(automapList_);
    lblWarning_ = new QLabel(
        Caption("lblWarning",
                "Внимание! Изменения, сделанные в списке автозагрузки зон применяются сразу."),
        tab);
    lblWarning_->setObjectName("lblWarning");
    lblWarning_->setWordWrap(true);
    QPalette red = lblWarning_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblWarning_->setPalette(red);
    BuildAutomapMenu();

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(lblNote);
    layout->addWidget(roomNote_, 1);
    layout->addWidget(lblAutomap);
    layout->addWidget(automapList_, 2);
    layout->addWidget(lblWarning_);
    return tab;
}

void TPropertyForm::FillPictures() {
    const std::vector<QImage>& icons = page_.Skin().Set(0).icons;
    comboBox1_->setIconSize(QSize(16, 16));
    for (std::size_t k = 0; k < std::max<std::size_t>(icons.size(), 1); ++k) {
        const QSize size = k < icons.size() ? icons[k].size() : QSize(16, 16);
        comboBox1_->addItem(k == 0 ? NoPictureIcon(size) : QIcon(QPixmap::fromImage(icons[k])),
                            QString());
        comboBox1_->setIconSize(comboBox1_->iconSize().expandedTo(size));
    }
    comboBox1_->setMinimumWidth(comboBox1_->iconSize().width() + 48);
}

void TPropertyForm::FillFields() {
    // Setting the texts runs the preview's handlers, as typing them would.
    const storage::RoomPropertyTexts t = editor_->Texts();
    editName_->setText(U(t.name));
    roomDescr_->setPlainText(ForDisplay(t.description));
    roomNote_->setPlainText(ForDisplay(t.note));
    editAlias_->setText(U(t.alias));
    editExits_->setText(U(t.exits));
    editChExits_->setText(U(t.checkedExits));
    editor_->Fill();
    FillAutomapList();
}

void TPropertyForm::SyncFlags() {
    for (int k = 1; k <= storage::RoomPropertyEditor::kFlagBoxes; ++k)
        FlagBox(k)->setChecked(editor_->FlagBox(k));
    const int entry = editor_->PictureEntry();
    comboBox1_->setCurrentIndex(entry < comboBox1_->count() ? entry : -1);
}

void TPropertyForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    tabs_->setCurrentIndex(0);
}

void TPropertyForm::btnColorClick() {
    // The room menu's last-used colour stays as it was.
    if (auto c = chooseColor(editor_->Preview().BColor)) {
        editor_->SetColor(*c);
        panel1_->update();
    }
}

void TPropertyForm::Panel1Paint(QImage& canvas) {
    const QImage* texture = nullptr;
    if (paint_.texture >= 0 && paint_.textures &&
        static_cast<std::size_t>(paint_.texture) < paint_.textures->size())
        texture = &(*paint_.textures)[static_cast<std::size_t>(paint_.texture)];
    if (!texture || texture->isNull()) {
        canvas.fill(paint_.background);
    } else {
        QPainter p(&canvas);
        for (int i = 0; i <= canvas.height() / texture->height(); ++i)
            for (int j = 0; j <= canvas.width() / texture->width(); ++j)
                p.drawImage(texture->width() * j, texture->height() * i, *texture);
    }
    painter_.DrawRoom(editor_->Preview(), canvas, paint_);
}

void TPropertyForm::ApplyToRoom() {
    editor_->Apply(Bytes(editAlias_->text()), Bytes(editChExits_->text()));
}

bool EditRoom(app::Session& session, TMapPage& page, QWidget* parent) {
    map::TMudRoom2* room = session.Map().World().ContextRoom;
    if (!room) return false;
    bool accepted = false;
    {
        TPropertyForm form(session, page, *room, parent);
        accepted = form.exec() == QDialog::Accepted;
        if (accepted) form.ApplyToRoom();
    }
    page.PanelMain()->update();
    return accepted;
}

} // namespace view
