#include "terminal/sequences/qt/AskDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace terminal::sequences {

AskDialog::AskDialog(QWidget* parent, const std::string& question, Answer answer)
    : QDialog(parent), answer_(std::move(answer)) {
    setObjectName(QStringLiteral("sequenceAsk"));
    setWindowTitle(QStringLiteral("Sequence question"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString::fromStdString(question), this);
    text->setObjectName(QStringLiteral("sequenceAskQuestion"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    auto* noteLabel = new QLabel(QStringLiteral("&Note:"), this);
    note_ = new QLineEdit(this);
    note_->setObjectName(QStringLiteral("sequenceAskNote"));
    noteLabel->setBuddy(note_);
    layout->addWidget(noteLabel);
    layout->addWidget(note_);
    auto* buttons = new QHBoxLayout;
    auto* pass = new QPushButton(QStringLiteral("&Pass"), this);
    pass->setObjectName(QStringLiteral("sequenceAskPass"));
    auto* fail = new QPushButton(QStringLiteral("&Fail"), this);
    fail->setObjectName(QStringLiteral("sequenceAskFail"));
    // No default: Enter in the note must not answer for the operator.
    pass->setAutoDefault(false);
    fail->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(pass);
    buttons->addWidget(fail);
    layout->addLayout(buttons);
    connect(pass, &QPushButton::clicked, this, [this] { give(true, note_->text().toStdString()); });
    connect(fail, &QPushButton::clicked, this,
            [this] { give(false, note_->text().toStdString()); });
    setAttribute(Qt::WA_DeleteOnClose);
}

void AskDialog::reject() {
    const std::string note = note_->text().toStdString();
    give(false, note.empty() ? "closed without an answer" : note);
}

void AskDialog::give(bool pass, const std::string& note) {
    if (answer_) {
        Answer answer = std::move(answer_);
        answer_ = nullptr;
        answer(pass, note);
    }
    QDialog::done(pass ? Accepted : Rejected);
}

}  // namespace terminal::sequences
