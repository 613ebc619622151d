#include "view/objects/FindReplaceDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace view {

TFindReplaceDialog::TFindReplaceDialog(bool withReplace, const Captions& captions, QWidget* parent)
    : QDialog(parent) {
    setObjectName(withReplace ? "ReplaceDialog" : "FindDialog");
    setWindowTitle(captions.title);
    setModal(false);

    auto* fields = new QFormLayout;
    findEdit_ = new QLineEdit(this);
    findEdit_->setMinimumWidth(260);
    fields->addRow(captions.findWhat, findEdit_);
    if (withReplace) {
        replaceEdit_ = new QLineEdit(this);
        fields->addRow(captions.replaceWith, replaceEdit_);
    }

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    findNext_ = buttons->addButton(captions.findNext, QDialogButtonBox::ActionRole);
    findNext_->setDefault(true);
    connect(findNext_, &QPushButton::clicked, this, &TFindReplaceDialog::FindNextClicked);
    if (withReplace) {
        replace_ = buttons->addButton(captions.replace, QDialogButtonBox::ActionRole);
        replaceAll_ = buttons->addButton(captions.replaceAll, QDialogButtonBox::ActionRole);
        connect(replace_, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceClicked);
        connect(replaceAll_, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAllClicked);
    }
    buttons->addButton(captions.close, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Nothing to look for, nothing to press.
    auto enable = [this] {
        const bool any = !findEdit_->text().isEmpty();
        findNext_->setEnabled(any);
        if (replace_) replace_->setEnabled(any);
        if (replaceAll_) replaceAll_->setEnabled(any);
    };
    connect(findEdit_, &QLineEdit::textChanged, this, enable);
    enable();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TFindReplaceDialog::FindText() const {
    return findEdit_->text();
}

void TFindReplaceDialog::SetFindText(const QString& text) {
    findEdit_->setText(text);
    findEdit_->selectAll();
}

QString TFindReplaceDialog::ReplaceText() const {
    return replaceEdit_ ? replaceEdit_->text() : QString();
}

} // namespace view
