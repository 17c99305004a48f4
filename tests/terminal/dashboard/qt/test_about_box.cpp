// The About box: its locked and unlocked states, the rate list, the message when a change is
// not allowed, and what each way of closing it leaves behind.

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "terminal/dashboard/qt/AboutBox.h"

using terminal::ui::AboutBox;
namespace aboutIds = terminal::ui::aboutIds;

namespace {

QStringList listed(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

QPushButton* button(AboutBox& box, int id) {
    return box.controls().get<QPushButton>(id);
}

// Opens the box modally, lets `act` play the operator, and returns the exec result.
int runModal(AboutBox& box, std::function<void(AboutBox*)> act) {
    uitest::whenModalOpens<AboutBox>(std::move(act));
    return box.exec();
}

bool unlocked(AboutBox& box) {
    return box.rateBox()->isEnabled() && button(box, aboutIds::confirmButton)->isEnabled();
}

TEST(AboutBoxLook, showsTheFixedTextsAndTheRatesInTheirOwnOrder) {
    AboutBox box;
    EXPECT_EQ((QStringList{"250K bps", "500K bps", "62.5K bps", "125K bps", "1M bps"}),
              listed(box.rateBox()));
    EXPECT_EQ("Proceed to &Change CAN Baud Rate", button(box, aboutIds::proceedButton)->text());
    EXPECT_EQ("C&onfirm Update CAN Baud Rate", button(box, aboutIds::confirmButton)->text());
    EXPECT_EQ("OK", button(box, aboutIds::ok)->text());
    EXPECT_TRUE(button(box, aboutIds::ok)->isDefault());
    EXPECT_TRUE(box.windowTitle().startsWith("About Tessaly "));

    QStringList captions;
    for (auto* group : box.findChildren<QGroupBox*>()) {
        captions << group->title();
    }
    EXPECT_EQ(QStringList{"Change J1939 CAN Baud Rate "}, captions);
    QStringList labels;
    for (auto* label : box.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_TRUE(labels.contains(
        "Note 1: To simulate vehicle and engine Before 2016 model year: use 250K, "));
    EXPECT_TRUE(
        labels.contains("Note 2: For 2016 and later model year: use either 500K or 250K, "));
    EXPECT_TRUE(labels.filter(QRegularExpression("^Tessaly Version ")).size() == 1);
    EXPECT_TRUE(labels.filter(QRegularExpression("^Copyright")).size() == 1);

    const QByteArray folder = qgetenv("TESSALY_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        box.setChangeAllowed(true);
        box.setRateText("250K bps");
        box.show();
        box.proceed();
        box.grab().save(QDir(QString::fromUtf8(folder)).filePath("about-box.png"));
    }
}

TEST(AboutBoxLook, noTextIsCutOffInTheDialogFont) {
    AboutBox box;
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
        }
    }
}

TEST(AboutBoxOpening, startsLockedAndSelectsTheFirstRateBeginningWithTheTextIgnoringCase) {
    const std::pair<QString, QString> cases[] = {
        {"250K bps", "250K bps"},   {"1M bps", "1M bps"}, {"500k", "500K bps"},
        {"62.5K BPS", "62.5K bps"}, {"1", "125K bps"},  // the first entry that begins with it
    };
    for (const auto& [given, shown] : cases) {
        AboutBox box;
        box.setChangeAllowed(true);
        box.setRateText(given);
        box.show();
        EXPECT_EQ(shown, box.rateBox()->currentText()) << given.toStdString();
        EXPECT_FALSE(unlocked(box));
    }
}

TEST(AboutBoxOpening, aTextNoEntryBeginsWithGoesIntoTheField) {
    AboutBox box;
    box.setRateText("invalid");
    box.show();
    EXPECT_EQ(-1, box.rateBox()->currentIndex());
    EXPECT_EQ("invalid", box.rateBox()->currentText());
}

TEST(AboutBoxProceed, unlocksOnceWhenAllowedAndAgainChangesNothing) {
    AboutBox box;
    box.setChangeAllowed(true);
    box.setRateText("250K bps");
    box.show();
    QTest::mouseClick(button(box, aboutIds::proceedButton), Qt::LeftButton);
    EXPECT_TRUE(unlocked(box));
    QTest::mouseClick(button(box, aboutIds::proceedButton), Qt::LeftButton);
    EXPECT_TRUE(unlocked(box));
    EXPECT_EQ("250K bps", box.rateBox()->currentText());
    EXPECT_TRUE(box.isVisible());
}

TEST(AboutBoxProceed, whenNotAllowedWarnsWithTheDevicesMessageAndStaysLocked) {
    AboutBox box;
    box.setChangeAllowed(false);
    box.show();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    uitest::whenModalOpens<QMessageBox>([&](QMessageBox* message) {
        title = message->windowTitle();
        text = message->text();
        icon = message->icon();
        message->accept();
    });
    box.proceed();
    EXPECT_EQ("Tessaly", title);
    EXPECT_EQ(QMessageBox::Warning, icon);
    EXPECT_EQ(
        "To change the J1939 CAN bus baud rate, An Vell J1939 simulator device (with Firmware "
        "0.2D/0.2E/0.2F) must be connected to the conputer. If connected, the simulator must "
        "have a correct firmware of 0.2D/0.2E/0.2F, please contact Vellworks and upgrade the "
        "simulator device to the correct fimware edition.",
        text);
    EXPECT_FALSE(unlocked(box));
    EXPECT_TRUE(box.isVisible());
}

TEST(AboutBoxClosing, confirmReadsTheChosenRateAndEndsWithOk) {
    AboutBox box;
    box.setChangeAllowed(true);
    box.setRateText("250K bps");
    const int result = runModal(box, [](AboutBox* open) {
        QTest::mouseClick(open->controls().get<QPushButton>(aboutIds::proceedButton),
                          Qt::LeftButton);
        open->rateBox()->setCurrentIndex(open->rateBox()->findText("1M bps"));
        QTest::mouseClick(open->controls().get<QPushButton>(aboutIds::confirmButton),
                          Qt::LeftButton);
    });
    EXPECT_EQ(QDialog::Accepted, result);
    EXPECT_TRUE(box.confirmed());
    EXPECT_EQ("1M bps", box.rateText());
}

TEST(AboutBoxClosing, confirmTakesTypedTextAsItStands) {
    AboutBox box;
    box.setChangeAllowed(true);
    box.setRateText("250K bps");
    runModal(box, [](AboutBox* open) {
        open->proceed();
        open->rateBox()->lineEdit()->setText("500k bps");
        open->confirm();
    });
    EXPECT_TRUE(box.confirmed());
    EXPECT_EQ("500k bps", box.rateText());
}

TEST(AboutBoxClosing, okAfterProceedReadsTheRateButIsNotAConfirmation) {
    AboutBox box;
    box.setChangeAllowed(true);
    box.setRateText("250K bps");
    const int result = runModal(box, [](AboutBox* open) {
        open->proceed();
        open->rateBox()->setCurrentIndex(4);
        QTest::mouseClick(open->controls().get<QPushButton>(aboutIds::ok), Qt::LeftButton);
    });
    EXPECT_EQ(QDialog::Accepted, result);
    EXPECT_FALSE(box.confirmed());
    EXPECT_EQ("1M bps", box.rateText());
}

TEST(AboutBoxClosing, theCloseBoxAndEscapeCancelAndLeaveTheRateAlone) {
    for (bool escape : {false, true}) {
        AboutBox box;
        box.setChangeAllowed(true);
        box.setRateText("250K bps");
        const int result = runModal(box, [escape](AboutBox* open) {
            open->proceed();
            open->rateBox()->setCurrentIndex(4);
            if (escape) {
                QTest::keyClick(open, Qt::Key_Escape);
            } else {
                open->close();
            }
        });
        EXPECT_EQ(QDialog::Rejected, result);
        EXPECT_FALSE(box.confirmed());
        EXPECT_EQ("250K bps", box.rateText());
    }
}

}  // namespace
