#pragma once
// The modeless find and replace dialogs of the object page. They only collect the texts and
// say which button was pressed; the page runs the search in the object base.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace view {

class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // Unicode captions of the dialog's controls.
    struct Captions {
        QString title, findWhat, replaceWith, findNext, replace, replaceAll, close;
    };
    // Without `withReplace` the dialog only finds.
    TFindReplaceDialog(bool withReplace, const Captions& captions, QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    QLineEdit* FindEdit() const { return findEdit_; }
    QPushButton* FindNextButton() const { return findNext_; }
    QPushButton* ReplaceButton() const { return replace_; }
    QPushButton* ReplaceAllButton() const { return replaceAll_; }

signals:
    void FindNextClicked();
    void ReplaceClicked();
    void ReplaceAllClicked();

private:
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* replace_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
};

} // namespace view
