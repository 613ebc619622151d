#include "view/dialogs/SaveLoadForm.h"

#include "files/Language.h"
#include "files/WorldDirectories.h"
#include "text/Cp1251.h"
#include "view/dialogs/NewWorldGameBox.h"
#include "view/window/UiText.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace view {

namespace {
constexpr const char* kSection = "SaveLoadForm";
constexpr int kNameRole = Qt::UserRole + 1; // the item's name before a rename

} // namespace

TSaveLoadForm::TSaveLoadForm(const storage::Language& texts, int& listViewStyle,
                             std::filesystem::path mapsDir, std::filesystem::path loadedWorldDir,
                             QWidget* parent)
    : QDialog(parent), texts_(texts), listViewStyle_(listViewStyle), mapsDir_(std::move(mapsDir)),
      loadedWorldDir_(std::move(loadedWorldDir)) {
    setObjectName("SaveLoadForm");
    setModal(true);
    resize(460, 340);

    listView1_ = new QListWidget(this);
    listView1_->setObjectName("ListView1");
    listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView1_->setContextMenuPolicy(Qt::CustomContextMenu);
    listView1_->setMovement(QListView::Static);
    listView1_->setResizeMode(QListView::Adjust);
    listView1_->setWrapping(true);
    listView1_->setUniformItemSizes(false);

    lblName_ = new QLabel(Caption("lblName", "Имя мира:"), this);
    lblName_->setObjectName("lblName");
    worldName_ = new QLineEdit(this);
    worldName_->setObjectName("WorldName");
    lblName_->setBuddy(worldName_);
    buttonOk_ = new QPushButton(this);
    buttonOk_->setObjectName("ButtonOk");
    buttonOk_->setDefault(true);
    buttonCancel_ = new QPushButton(Caption("ButtonCancel", "Отмена"), this);
    buttonCancel_->setObjectName("ButtonCancel");

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(lblName_);
    nameRow->addWidget(worldName_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(buttonOk_);
    buttons->addWidget(buttonCancel_);
    game_ = new TNewWorldGameBox(texts_, this);
    game_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listView1_, 1);
    layout->addLayout(nameRow);
    layout->addWidget(game_);
    layout->addLayout(buttons);
    // From the name on to the game, its server, then the buttons.
    QWidget::setTabOrder(worldName_, game_->Profiles());
    QWidget::setTabOrder(game_->Profiles(), game_->Server());
    QWidget::setTabOrder(game_->Server(), game_->Port());
    QWidget::setTabOrder(game_->Port(), buttonOk_);
    QWidget::setTabOrder(buttonOk_, buttonCancel_);

    // `PopupMenu1`, opened only on an item.
    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName("PopupMenu1");
    auto add = [this](QMenu* menu, const char* key, const char* def) {
        QAction* a = menu->addAction(Caption(key, def));
        a->setObjectName(key);
        return a;
    };
    nSelect_ = add(popupMenu1_, "nSelect", "Выбрать");
    popupMenu1_->setDefaultAction(nSelect_);
    QMenu* nView = popupMenu1_->addMenu(Caption("nView", "Вид"));
    nView->setObjectName("nView");
    nIcons_ = add(nView, "nIcons", "Значки");
    nList_ = add(nView, "nList", "Список");
    auto* group = new QActionGroup(this);
    for (QAction* a : {nIcons_, nList_}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    QAction* nRename = add(popupMenu1_, "nRename", "Переименовать");
    QAction* nDelete = add(popupMenu1_, "nDelete", "Удалить");

    connect(nSelect_, &QAction::triggered, this, [this] {
        if (buttonOk_->isEnabled()) accept();
    });
    connect(nIcons_, &QAction::triggered, this, [this] { SetView(true); });
    connect(nList_, &QAction::triggered, this, [this] { SetView(false); });
    connect(nRename, &QAction::triggered, this, &TSaveLoadForm::nRenameClick);
    connect(nDelete, &QAction::triggered, this, &TSaveLoadForm::nDeleteClick);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(worldName_, &QLineEdit::textChanged, this, &TSaveLoadForm::WorldNameChange);
    // A press of either button on an item, and a click, choose it; a double click ends the
    // dialog with it.
    connect(listView1_, &QListWidget::itemPressed, this, &TSaveLoadForm::ItemChosen);
    connect(listView1_, &QListWidget::itemClicked, this, &TSaveLoadForm::ItemChosen);
    connect(listView1_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        ItemChosen(item);
        if (buttonOk_->isEnabled()) accept();
    });
    connect(listView1_, &QWidget::customContextMenuRequested, this, &TSaveLoadForm::ShowPopup);
    connect(listView1_, &QListWidget::itemChanged, this, &TSaveLoadForm::Renamed);
    WorldNameChange();
}

QString TSaveLoadForm::Caption(const char* key, const char* utf8Default) const {
    return U(texts_.GetCaption(kSection, key, text::W(utf8Default)));
}

std::string TSaveLoadForm::Text(const char* key) const {
    return texts_.GetCaption(kSection, key);
}

QAction* TSaveLoadForm::Item(const QString& name) const {
    return findChild<QAction*>(name);
}

void TSaveLoadForm::SetMode(storage::ChooserMode mode, const std::string& name) {
    mode_ = mode;
    game_->setVisible(mode == storage::ChooserMode::Create);
    // Room for the worlds' list above the game's box.
    if (mode == storage::ChooserMode::Create) resize(width(), std::max(height(), 500));
    SetView(listViewStyle_ == 1);
    worldName_->setText(mode == storage::ChooserMode::Load ? QString() : U(name));
    FillList();
    const char* caption = mode == storage::ChooserMode::Load   ? "LoadCaption"
                          : mode == storage::ChooserMode::Save ? "SaveAsCaption"
                                                               : "NewCaption";
    const char* ok = mode == storage::ChooserMode::Load   ? "btnOkLoad"
                     : mode == storage::ChooserMode::Save ? "btnOkSave"
                                                          : "btnOkNew";
    setWindowTitle(U(Text(caption)));
    buttonOk_->setText(U(Text(ok)));
    WorldNameChange();
    worldName_->setFocus();
}

std::string TSaveLoadForm::WorldName() const {
    return text::FromUnicode(worldName_->text().trimmed());
}

void TSaveLoadForm::SetGameProfiles(const std::filesystem::path& templateProfile,
                                    const std::vector<storage::GameProfile>& profiles) {
    game_->SetProfiles(templateProfile, profiles);
}

std::optional<storage::NewWorldGame> TSaveLoadForm::Game() const {
    if (mode_ != storage::ChooserMode::Create) return std::nullopt;
    return game_->Game();
}

void TSaveLoadForm::FillList() {
    const QSignalBlocker block(listView1_);
    listView1_->clear();
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const std::string& world : storage::ListWorlds(mapsDir_)) {
        auto* item = new QListWidgetItem(folder, U(world), listView1_);
        item->setData(kNameRole, U(world));
        item->setToolTip(U(world)); // a long name is cut short under its icon
    }
}

void TSaveLoadForm::SetView(bool icons) {
    (icons ? nIcons_ : nList_)->setChecked(true);
    listViewStyle_ = icons ? 1 : 2;
    if (icons) {
        listView1_->setViewMode(QListView::IconMode);
        listView1_->setFlow(QListView::LeftToRight);
        listView1_->setIconSize(QSize(32, 32));
        listView1_->setGridSize(QSize(96, 64));
        listView1_->setWordWrap(true);
    } else {
        // Columns of small icons, as a file manager's list.
        listView1_->setViewMode(QListView::ListMode);
        listView1_->setFlow(QListView::TopToBottom);
        listView1_->setIconSize(QSize(16, 16));
        listView1_->setGridSize(QSize());
        listView1_->setWordWrap(false);
    }
    listView1_->setMovement(QListView::Static);
    listView1_->setWrapping(true);
    listView1_->doItemsLayout();
}

void TSaveLoadForm::ItemChosen(QListWidgetItem* item) {
    if (item) worldName_->setText(item->text());
}

void TSaveLoadForm::WorldNameChange() {
    // A name that Windows-1251 cannot write would become another name on disk.
    bool representable = false;
    const QString name = worldName_->text().trimmed();
    text::FromUnicode(name, &representable);
    const bool ok = !name.isEmpty() && representable;
    buttonOk_->setEnabled(ok);
    nSelect_->setEnabled(ok);
}

void TSaveLoadForm::ShowPopup(const QPoint& at) {
    QListWidgetItem* item = listView1_->itemAt(at);
    if (!item) return;
    listView1_->setCurrentItem(item);
    ItemChosen(item);
    popupMenu1_->popup(listView1_->viewport()->mapToGlobal(at));
}

void TSaveLoadForm::Stop(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, "Quarvelin", U(message), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TSaveLoadForm::nDeleteClick() {
    QListWidgetItem* item = listView1_->currentItem();
    if (!item || !item->isSelected()) return;
    // The selected item is what is deleted, whatever has been typed since.
    const std::string name = text::FromUnicode(item->text());
    if (storage::IsLoadedWorld(mapsDir_, name, loadedWorldDir_)) {
        Stop(Text("CantDeleteLoadedWorld") + " <" + name + ">");
        return;
    }
    QMessageBox ask(QMessageBox::Question, "Quarvelin",
                    U(Text("DeleteMessage") + " <" + name + ">?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setWindowModality(Qt::ApplicationModal);
    ask.setEscapeButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes) return;
    switch (storage::DeleteWorld(mapsDir_, name, loadedWorldDir_)) {
    case storage::WorldDirResult::Done:
    case storage::WorldDirResult::Missing: // gone already
        if (worldName_->text().trimmed() == item->text()) worldName_->clear();
        delete item;
        listView1_->doItemsLayout();
        break;
    case storage::WorldDirResult::Loaded:
        Stop(Text("CantDeleteLoadedWorld") + " <" + name + ">");
        break;
    default:
        Stop(Text("DeleteWorldFailed") + " <" + name + ">");
        break;
    }
}

void TSaveLoadForm::nRenameClick() {
    QListWidgetItem* item = listView1_->currentItem();
    if (!item || !item->isSelected()) return;
    const std::string name = text::FromUnicode(item->text());
    if (storage::IsLoadedWorld(mapsDir_, name, loadedWorldDir_)) {
        Stop(Text("CantRenameLoadedWorld") + " <" + name + ">");
        return;
    }
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    listView1_->editItem(item);
}

void TSaveLoadForm::Renamed(QListWidgetItem* item) {
    const QString old = item->data(kNameRole).toString();
    const QString wanted = item->text().trimmed();
    if (wanted == old) {
        const QSignalBlocker block(listView1_);
        item->setText(old);
        return;
    }
    bool representable = false;
    const std::string from = text::FromUnicode(old);
    const std::string to = text::FromUnicode(wanted, &representable);
    const storage::WorldDirResult r =
        representable ? storage::RenameWorld(mapsDir_, from, to, loadedWorldDir_)
                      : storage::WorldDirResult::Invalid;
    const QSignalBlocker block(listView1_);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (r == storage::WorldDirResult::Done) {
        item->setText(wanted);
        item->setData(kNameRole, wanted);
        item->setToolTip(wanted);
        if (worldName_->text().trimmed() == old) worldName_->setText(wanted);
        return;
    }
    item->setText(old);
    if (r == storage::WorldDirResult::Loaded)
        Stop(Text("CantRenameLoadedWorld") + " <" + from + ">");
    else if (r == storage::WorldDirResult::Exists)
        Stop(Text("WorldMessage") + " <" + to + "> " + Text("WorldAlreadyExists"));
    else
        Stop(Text("RenameWorldFailed") + " <" + from + ">");
}

} // namespace view
