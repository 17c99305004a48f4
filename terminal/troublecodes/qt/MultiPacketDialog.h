#pragma once
// The engine's multi-packet trouble-code lists (templates 130 and 132): a read-only list
// under the caption "SPN  FMI  OC  CM", closed with OK. The list text is placed in the box
// each time the dialog opens.

#include <QDialog>
#include <string>

#include "platform/layout/qt/DialogLayout.h"

class QPlainTextEdit;

namespace terminal::ui {

class MultiPacketDialog : public QDialog {
    Q_OBJECT
public:
    enum class List { engineDm1, engineDm2 };

    MultiPacketDialog(List list, QWidget* parent);

    void setListText(const std::string& text) { listText_ = text; }
    const std::string& listText() const { return listText_; }

    // Sets the list and shows the dialog modally; the result means nothing.
    void showList(const std::string& text);

    QPlainTextEdit* listBox() const { return listBox_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitListFont();

    platform::DialogControls controls_;
    QPlainTextEdit* listBox_ = nullptr;
    std::string listText_;
};

}  // namespace terminal::ui
