#include "terminal/dashboard/qt/AboutSequence.h"

#include "terminal/dashboard/qt/AboutBox.h"
#include "terminal/link/BaudRateChange.h"

namespace terminal::ui {

void runAboutSequence(QWidget* parent, BaudRateChange& change,
                      const std::function<bool()>& mayChange) {
    AboutBoxOutcome outcome;
    {
        // The box lives for this one sequence; it is gone before the rate is sent.
        AboutBox box(parent);
        const AboutBoxSetup setup = change.aboutBoxSetup();
        box.setChangeAllowed(setup.changeAllowed);
        box.setRateText(QString::fromStdString(setup.rateText));
        outcome.okResult = box.exec() == QDialog::Accepted;
        outcome.confirmed = box.confirmed();
        outcome.rateText = box.rateText().toStdString();
    }
    if (outcome.okResult && outcome.confirmed && mayChange && !mayChange()) {
        return;
    }
    change.finish(outcome);
}

}  // namespace terminal::ui
