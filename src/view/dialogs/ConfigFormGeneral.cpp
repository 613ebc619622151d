// The settings dialog's page "Общие": the map's background (colour and texture with a preview),
// the window's switches, the scrolling speed, the skin file and the room-colour replacement.

#include "app/core/AppUi.h"
#include "app/core/Session.h"
#include "map/WorldConversions.h"
#include "text/Cp1251.h"
#include "view/dialogs/ConfigForm.h"
#include "view/dialogs/TexturePreview.h"
#include "view/map/MapDialogs.h"
#include "view/map/Textures.h"
#include "view/window/UiText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace view {

namespace {

constexpr QSize kSwatch(96, 20);

// The replacement colours are shown as filled buttons; the colour itself rides in the
// property "color".
void Paint(QToolButton* shape, const QColor& c) {
    shape->setProperty("color", c);
    QPixmap pm(36, 14);
    pm.fill(c);
    shape->setIcon(QIcon(pm));
}
QColor ColorOf(const QToolButton* shape) {
    return shape->property("color").value<QColor>();
}
} // namespace

QWidget* TConfigForm::GeneralPage() {
    auto* page = new QWidget(this);

    QGroupBox* background = Group("gbBackground", " Поле ");
    auto* btnColor = new QPushButton(Caption("btnColor", "Цвет..."), this);
    btnColor->setObjectName("btnColor");
    connect(btnColor, &QPushButton::clicked, this, [this] { btnColorClick(); });
    panel1_ = new TTexturePreview(this);
    panel1_->setMinimumSize(150, 64);
    textureComboBox_ = new QComboBox(this);
    textureComboBox_->setObjectName("TextureComboBox");
    textureComboBox_->setIconSize(kSwatch);
    // One entry more than there are textures: entry 0 is the plain colour.
    for (std::size_t i = 0; i <= BackgroundTextures().size(); ++i)
        textureComboBox_->addItem(QString());
    connect(textureComboBox_, &QComboBox::currentIndexChanged, this,
            [this](int index) { TextureComboBoxChange(index); });
    auto* bg = new QGridLayout(background);
    bg->addWidget(panel1_, 0, 0, 3, 1);
    bg->addWidget(btnColor, 0, 1);
    bg->addWidget(Label("lblTexture", "Текстура", textureComboBox_), 1, 1);
    bg->addWidget(textureComboBox_, 2, 1);
    bg->setColumnStretch(0, 1);

    QGroupBox* scroll = Group("ScrollMult", " Скорость скроллинга с помощью мыши ");
    scrollMult_ = new QButtonGroup(this);
    scrollMult_->setObjectName("ScrollMultGroup");
    auto* radios = new QHBoxLayout(scroll);
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton("x" + QString::number(1 << i), this);
        radio->setObjectName("ScrollMult" + QString::number(i));
        scrollMult_->addButton(radio, i);
        radios->addWidget(radio);
    }
    radios->addStretch(1);

    QGroupBox* features = Group("gbFeatures", " Разное ");
    cbNoTransp_ = Check("cbNoTransp", "Отключить прозрачность (чтоб не тормозило)");
    cbRepos_ = Check("cbRepos", "Центровать картинку на каждом шаге спидволка");
    cbShowTopLevel_ = Check("cbShowTopLevel", "Показывать уровень выше");
    cbShowBottomLevel_ = Check("cbShowBottomLevel", "Показывать уровни ниже");
    cbSwapUpDown_ = Check("cbSwapUpDown", "Поменять местами клавиши уровней (Ctrl+плюс/минус)");
    cbShowNote_ = Check("cbShowNote", "Показывать заметку комнаты");
    cbReplaceLore_ = Check("cbReplaceLore", "Заменять описания предметов, присланные группой");
    cbCheckUpdates_ = Check("cbCheckUpdates", "Проверять обновления при запуске");
    cbRecordSessions_ = Check("cbRecordSessions", "Записывать сеансы в папку мира (по дате)");
    auto* checks = new QVBoxLayout(features);
    for (QCheckBox* c : {cbNoTransp_, cbRepos_, cbShowTopLevel_, cbShowBottomLevel_, cbSwapUpDown_,
                         cbShowNote_, cbReplaceLore_, cbCheckUpdates_, cbRecordSessions_})
        checks->addWidget(c);

    QGroupBox* skin = Group("gbSkin", "Шкура");
    editSkin_ = Edit("EditSkin");
    editSkin_->setReadOnly(true);
    lblSkin_ = Label("lblSkin", "Имя файла шкуры:", editSkin_);
    auto* browse = new QToolButton(this);
    browse->setObjectName("SpeedButton1");
    browse->setText(Caption("SpeedButton1", "..."));
    connect(browse, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    auto* noSkin = new QToolButton(this);
    noSkin->setObjectName("sbNoSkin");
    noSkin->setText(Caption("sbNoSkin", "Без шкуры"));
    connect(noSkin, &QToolButton::clicked, this, [this] { editSkin_->setText("noskin.ini"); });
    auto* skinRow = new QHBoxLayout(skin);
    skinRow->addWidget(lblSkin_);
    skinRow->addWidget(editSkin_, 1);
    skinRow->addWidget(browse);
    skinRow->addWidget(noSkin);

    // The replacement acts on the map at once; Cancel does not undo it.
    QGroupBox* recolour = Group("gbReplaceColor", "Комнаты");
    shpColor1_ = new QToolButton(this);
    shpColor1_->setObjectName("shpColor1");
    shpColor2_ = new QToolButton(this);
    shpColor2_->setObjectName("shpColor2");
    for (QToolButton* shape : {shpColor1_, shpColor2_}) {
        shape->setIconSize(QSize(36, 14));
        Paint(shape, ToQColor(map::kSilver));
        connect(shape, &QToolButton::clicked, this, [this, shape] { ShapeClick(shape); });
    }
    auto* replace = new QPushButton(Caption("SpeedButton2", "Заменить"), this);
    replace->setObjectName("SpeedButton2");
    connect(replace, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    auto* colourRow = new QHBoxLayout(recolour);
    colourRow->addWidget(Label("lblReplaceColor", "Замена цвета комнат:"));
    colourRow->addWidget(shpColor1_);
    colourRow->addWidget(Label("lblColorTo", "на"));
    colourRow->addWidget(shpColor2_);
    colourRow->addWidget(replace);
    colourRow->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(background);
    left->addWidget(scroll);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(features, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(skin);
    layout->addWidget(recolour);
    layout->addStretch(1);
    return page;
}

void TConfigForm::RefreshTextureList() {
    // Entry 0 is a field of the preview's colour; the others show their textures.
    for (int i = 0; i < textureComboBox_->count(); ++i)
        textureComboBox_->setItemIcon(
            i, QIcon(TTexturePreview::Swatch(i - 1, panel1_->color, kSwatch)));
}

void TConfigForm::TextureComboBoxChange(int index) {
    panel1_->textureIndex = index - 1;
    panel1_->update();
}

void TConfigForm::btnColorClick() {
    if (std::optional<QColor> c = chooseColor(panel1_->color)) {
        panel1_->color = *c;
        RefreshTextureList();
    }
    // Choosing a colour (or only looking) means the plain colour.
    textureComboBox_->setCurrentIndex(0);
    TextureComboBoxChange(0);
}

void TConfigForm::ShapeClick(QToolButton* shape) {
    if (std::optional<QColor> c = chooseColor(ColorOf(shape))) Paint(shape, *c);
}

void TConfigForm::SpeedButton1Click() {
    const QString start = QString::fromStdU16String(session_.World().WorldDir().u16string()) + "/" +
                          editSkin_->text();
    const QString chosen = chooseSkinFile(lblSkin_->text(), start);
    if (!chosen.isEmpty()) editSkin_->setText(QFileInfo(chosen).fileName());
}

void TConfigForm::SpeedButton2Click() {
    map::ReplaceRoomColor(session_.Map().World(), FromQColor(ColorOf(shpColor1_)),
                          FromQColor(ColorOf(shpColor2_)));
    ui_.Repaint();
}

void TConfigForm::FillGeneralPage(const app::ConfigValues& v) {
    panel1_->color = ToQColor(v.panelColor);
    RefreshTextureList();
    const int entry = v.texture + 1;
    textureComboBox_->setCurrentIndex(entry >= 0 && entry < textureComboBox_->count() ? entry : 0);
    TextureComboBoxChange(textureComboBox_->currentIndex());
    cbNoTransp_->setChecked(v.noTransparency);
    cbNoTransp_->setEnabled(v.transparencyAvailable);
    cbRepos_->setChecked(v.needRepos);
    cbShowTopLevel_->setChecked(v.showTopLevel);
    cbShowBottomLevel_->setChecked(v.showBottomLevel);
    cbSwapUpDown_->setChecked(v.swapUpDown);
    cbShowNote_->setChecked(v.showNote);
    cbReplaceLore_->setChecked(v.replaceLore);
    cbCheckUpdates_->setChecked(v.checkUpdates);
    cbRecordSessions_->setChecked(v.recordSessions);
    scrollMult_->button(std::clamp(v.scrollMultIndex, 0, 4))->setChecked(true);
    editSkin_->setText(U(v.skinFile));
}

void TConfigForm::CollectGeneralPage(app::ConfigValues& v) const {
    v.panelColor = FromQColor(panel1_->color);
    v.texture = panel1_->textureIndex;
    v.noTransparency = cbNoTransp_->isChecked();
    v.needRepos = cbRepos_->isChecked();
    v.showTopLevel = cbShowTopLevel_->isChecked();
    v.showBottomLevel = cbShowBottomLevel_->isChecked();
    v.swapUpDown = cbSwapUpDown_->isChecked();
    v.showNote = cbShowNote_->isChecked();
    v.replaceLore = cbReplaceLore_->isChecked();
    v.checkUpdates = cbCheckUpdates_->isChecked();
    v.recordSessions = cbRecordSessions_->isChecked();
    v.scrollMultIndex = std::max(0, scrollMult_->checkedId());
    v.skinFile = B(editSkin_->text());
}

} // namespace view
