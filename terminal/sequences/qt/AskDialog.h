#pragma once
// An ask step's question to the operator: Pass or Fail, with a note for the report. Shown
// without blocking anything, so the session goes on while it waits and Stop stays in reach;
// closing it without an answer is a Fail that says so.

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;

namespace terminal::sequences {

class AskDialog : public QDialog {
    Q_OBJECT
public:
    using Answer = std::function<void(bool pass, const std::string& note)>;

    AskDialog(QWidget* parent, const std::string& question, Answer answer);

    QLineEdit* noteEdit() const { return note_; }

protected:
    void reject() override;

private:
    void give(bool pass, const std::string& note);

    QLineEdit* note_;
    Answer answer_;
};

}  // namespace terminal::sequences
