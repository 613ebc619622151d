// The settings dialog's last three pages: following a leader, the program's own commands and
// speedwalk step counts, and the templates of item and creature reports.

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/dialogs/ConfigForm.h"
#include "view/window/UiText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace view {

namespace {
// A template keeps its CR LF inside the program; the field shows plain line breaks.
QString Template(const std::string& crlf) {
    return U(crlf).replace("\r\n", "\n");
}
} // namespace

QWidget* TConfigForm::FollowPage() {
    auto* page = new QWidget(this);
    memoLeaderMoves_ = Memo("MemoLeaderMoves");
    QLabel* label = Label("lblLeaderMoves", "Перемещение лидера", memoLeaderMoves_);
    QGroupBox* leader = SixWords("gbLeader", " Лидер ", "EditL", "lblLeader", leaderEdits_);

    QGroupBox* follow = Group("gbFollow", " Признак следования ");
    editSFollow_ = Edit("EditSFollow");
    cbFollowLine_ = Check("cbFollowLine", "Направление в той же строке");
    auto* form = new QFormLayout(follow);
    form->addRow(Label("lblFollow", "Сообщение", editSFollow_), editSFollow_);
    form->addRow(cbFollowLine_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addWidget(memoLeaderMoves_, 1);
    layout->addWidget(leader);
    layout->addWidget(follow);
    return page;
}

QWidget* TConfigForm::ControlPage() {
    auto* page = new QWidget(this);
    QGroupBox* speedwalk = Group("gbSppedWalk", " Спидволк ");
    editSpeedWalk_ = Edit("EditSpeedWalk");
    editReturnWalk_ = Edit("EditReturnWalk");
    editSWLength_ = Edit("EditSWLength");
    editSWLength_->setMaxLength(2);
    editMaxSWLength_ = Edit("EditMaxSWLength");
    editMaxSWLength_->setMaxLength(3);
    for (QLineEdit* e : {editSWLength_, editMaxSWLength_}) {
        e->setMaximumWidth(60);
        connect(e, &QLineEdit::textChanged, this, [this, e] { EditSWLengthChange(e); });
    }
    auto* sw = new QFormLayout(speedwalk);
    sw->addRow(Label("lblGoTo", "Добежать до", editSpeedWalk_), editSpeedWalk_);
    sw->addRow(Label("lblReturn", "Вернуться", editReturnWalk_), editReturnWalk_);
    sw->addRow(Label("lblStepCount", "Количество шагов за один цикл", editSWLength_),
               editSWLength_);
    sw->addRow(Label("lblMaxStepCount", "Максимальное количество шагов", editMaxSWLength_),
               editMaxSWLength_);

    QGroupBox* tells = Group("gbGroupMsg", " Обмен реквизитами с одногрупниками ");
    editGroupTell_ = Edit("EditGroupTell");
    editClanTell_ = Edit("EditClanTell");
    auto* tellForm = new QFormLayout(tells);
    tellForm->addRow(Label("lblGroupTell", "Группе", editGroupTell_), editGroupTell_);
    tellForm->addRow(Label("lblClanTell", "Клану", editClanTell_), editClanTell_);

    QGroupBox* alias = Group("gbAlias", "Алиас");
    editSetAlias_ = Edit("EditSetAlias");
    editSetAlias_->setEnabled(false);
    auto* aliasForm = new QFormLayout(alias);
    aliasForm->addRow(Label("lblSetAlias", "Команда", editSetAlias_), editSetAlias_);
    QGroupBox* newZone = Group("gbNewZone", " Новая зона ");
    editNewZone_ = Edit("EditNewZone");
    auto* zoneForm = new QFormLayout(newZone);
    zoneForm->addRow(Label("lblNewZone", "Команда", editNewZone_), editNewZone_);
    auto* commands = new QHBoxLayout;
    commands->addWidget(alias);
    commands->addWidget(newZone);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(speedwalk);
    layout->addWidget(tells);
    layout->addLayout(commands);
    layout->addStretch(1);
    return page;
}

QWidget* TConfigForm::KnowledgePage() {
    auto* page = new QWidget(this);
    auto reports = [this](const char* group, const char* title, const char* memo,
                          const char* templateLabel, const char* seq, const char* seqLabel,
                          QPlainTextEdit*& memoOut, QLineEdit*& seqOut) {
        QGroupBox* box = Group(group, title);
        memoOut = Memo(memo);
        seqOut = Edit(seq);
        auto* grid = new QGridLayout(box);
        grid->addWidget(Label(templateLabel, "Шаблон", memoOut), 0, 0, Qt::AlignTop);
        grid->addWidget(memoOut, 0, 1);
        grid->addWidget(Label(seqLabel, "Порядок", seqOut), 1, 0);
        grid->addWidget(seqOut, 1, 1);
        return box;
    };
    QGroupBox* items = reports("gbItems", " Предметы ", "MemoStuffTem", "lblTemplate",
                               "EditStuffSeq", "lblOrder", memoStuffTem_, editStuffSeq_);
    QGroupBox* mobs = reports("gbMOBs", " Мобы ", "MemoMobTem", "lblMobTemplate", "EditMobSeq",
                              "lblMobOrder", memoMobTem_, editMobSeq_);
    QGroupBox* request = Group("gbRequestObj", "Запрос объекта");
    editRequestCommand_ = Edit("EditRequestCommand");
    auto* form = new QFormLayout(request);
    form->addRow(Label("lblRequestCommand", "Команда", editRequestCommand_), editRequestCommand_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(items, 1);
    layout->addWidget(mobs, 1);
    layout->addWidget(request);
    return page;
}

void TConfigForm::FillLastPages(const app::ConfigValues& v) {
    memoLeaderMoves_->setPlainText(U(app::MemoText(v.leaderMove)).replace("\r\n", "\n"));
    for (std::size_t i = 0; i < 6; ++i)
        leaderEdits_[i]->setText(U(v.leaderWords[i]));
    editSFollow_->setText(U(v.follow));
    cbFollowLine_->setChecked(v.followLine);

    editSpeedWalk_->setText(U(v.speedwalk));
    editReturnWalk_->setText(U(v.returnwalk));
    editSWLength_->setText(QString::fromStdString(v.speedWalkLength));
    editMaxSWLength_->setText(QString::fromStdString(v.maxSpeedWalkLength));
    editGroupTell_->setText(U(v.groupTell));
    editClanTell_->setText(U(v.clanTell));
    editSetAlias_->setText(U(v.setAlias));
    editNewZone_->setText(U(v.newZone));

    memoStuffTem_->setPlainText(Template(v.stuffTem));
    editStuffSeq_->setText(U(v.stuffSeq));
    memoMobTem_->setPlainText(Template(v.mobTem));
    editMobSeq_->setText(U(v.mobSeq));
    editRequestCommand_->setText(U(v.requestCommand));
}

void TConfigForm::CollectLastPages(app::ConfigValues& v) const {
    v.leaderMove = app::MemoLines(B(memoLeaderMoves_->toPlainText()));
    for (std::size_t i = 0; i < 6; ++i)
        v.leaderWords[i] = B(leaderEdits_[i]->text());
    v.follow = B(editSFollow_->text());
    v.followLine = cbFollowLine_->isChecked();

    v.speedwalk = B(editSpeedWalk_->text());
    v.returnwalk = B(editReturnWalk_->text());
    v.speedWalkLength = B(editSWLength_->text());
    v.maxSpeedWalkLength = B(editMaxSWLength_->text());
    v.groupTell = B(editGroupTell_->text());
    v.clanTell = B(editClanTell_->text());
    v.setAlias = B(editSetAlias_->text());
    v.newZone = B(editNewZone_->text());

    v.stuffTem = app::WithCrLf(B(memoStuffTem_->toPlainText()));
    v.stuffSeq = B(editStuffSeq_->text());
    v.mobTem = app::WithCrLf(B(memoMobTem_->toPlainText()));
    v.mobSeq = B(editMobSeq_->text());
    v.requestCommand = B(editRequestCommand_->text());
}

} // namespace view
