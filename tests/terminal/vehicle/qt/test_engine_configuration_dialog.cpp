// The engine configuration view: every box, label and value exactly as the device's documents
// print them, each value beside its own label and readable, and closing it every usual way.

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "platform/layout/qt/DialogLayout.h"
#include "terminal/vehicle/qt/EngineConfigurationDialog.h"

using terminal::ui::EngineConfigurationDialog;

namespace {

struct Line {
    QString label;
    QString value;
};

// The labels inside a group box, paired with the value label level with each, left to right.
std::vector<Line> linesOf(const EngineConfigurationDialog& dialog, const QGroupBox* group) {
    std::vector<const QLabel*> inside;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (group->geometry().contains(label->geometry())) {
            inside.push_back(label);
        }
    }
    std::sort(inside.begin(), inside.end(), [](const QLabel* a, const QLabel* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    std::vector<Line> lines;
    for (std::size_t i = 0; i + 1 < inside.size(); i += 2) {
        EXPECT_EQ(inside[i]->y(), inside[i + 1]->y()) << inside[i]->text().toStdString();
        lines.push_back({inside[i]->text(), inside[i + 1]->text()});
    }
    return lines;
}

const QGroupBox* group(const EngineConfigurationDialog& dialog, const QString& caption) {
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
        if (box->title() == caption) {
            return box;
        }
    }
    return nullptr;
}

TEST(EngineConfigurationLook, titleSizeAndTheThirteenBoxesInTheirPlaces) {
    EngineConfigurationDialog dialog;
    // At the scale the dialog takes on the test platform's screen (800 pixels wide: smaller
    // than the dialog at full size).
    platform::DialogLayout units;
    QWidget sameScreen;
    units.sizeWindow(&sameScreen, 548, 319);
    EXPECT_EQ("Vell Engine Configuration", dialog.windowTitle());
    EXPECT_EQ(units.toPixels(548, 319), dialog.size());
    auto* ok = dialog.controls().get<QPushButton>(1);
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ("OK", ok->text());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(units.toPixels(257, 298, 50, 14), ok->geometry());

    EXPECT_EQ(13, dialog.findChildren<QGroupBox*>().size());
    const QGroupBox* byteBox = group(dialog, "Byte 35-39");
    ASSERT_NE(nullptr, byteBox);
    EXPECT_EQ(units.toPixels(17, 241, 514, 52), byteBox->geometry());
    const QGroupBox* point7 =
        group(dialog, "Point 7 (Engine Maximum Momentary Override) Speed and Time:");
    ASSERT_NE(nullptr, point7);
    EXPECT_EQ(units.toPixels(286, 124, 246, 36), point7->geometry());

    const QByteArray folder = qgetenv("TESSALY_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        dialog.show();
        dialog.grab().save(QDir(QString::fromUtf8(folder)).filePath("engine-configuration.png"));
    }
}

TEST(EngineConfigurationLook, everyLabelStandsBesideItsValueVerbatim) {
    EngineConfigurationDialog dialog;
    struct Expected {
        const char* caption;
        std::vector<std::pair<const char*, const char*>> lines;
    };
    const Expected expected[] = {
        {"Point 1:",
         {{"Engine Speed At Idle, Point 1 (SPN 188) :", "700 RPM"},
          {"Engine Percent Torque At Idle, Point 1 (SPN 539) :", "10%"}}},
        {"Point 6 and Kp:",
         {{"Engine Speed At High Idle, point 6 (SPN 532) :", "4000 RPM"},
          {"Engine Gain (Kp) Of The Endspeed Governor (SPN 545) :", "40"}}},
        {"Engine Reference Torque :", {{"Engine Reference Torque (SPN 544):", "3000 Nm"}}},
        {"Engine Requested Speed Control Range:",
         {{"Engine Requested Speed Control Range Lower Limit (SPN 535) :", "550 RPM"},
          {"Engine Requested Speed Control Range Upper Limit  (SPN 536) :", "2400 RPM"}}},
        {"Engine Extended Range Requested Speed Control Range Upper Limit:",
         {{"eng. ext. range requested speed control range upper limit(SPN1712) :", "3600 RPM"}}},
        {"Engine Moment of Inertia and Default Torque:",
         {{"Engine Moment of Inertia (SPN 1794) :", "50 kg-m2"},
          {"Engine Default Torque Limit (SPN 1846) :", "16000 Nm"}}},
        // Row by row, left column first: 3344 | 3345, 3346 | 3347, 3348.
        {"Byte 35-39",
         {{"Support Variable Rate TSC1 Message  (SPN 3344) :", "0B0000 0000"},
          {"Support TSC1 Control Purpose Group 1 (SPN 3345) :", "0B1110 0000"},
          {"Support TSC1 Control Purpose Group 2 (SPN 3346) :", "0B1111 1111"},
          {"Support TSC1 Control Purpose Group 3 (SPN 3347) :", "0B1111 1111"},
          {"Support TSC1 Control Purpose Group 4 (SPN 3348) :", "0B1111 1111"}}},
    };
    for (const Expected& box : expected) {
        const QGroupBox* found = group(dialog, box.caption);
        ASSERT_NE(nullptr, found) << box.caption;
        const std::vector<Line> lines = linesOf(dialog, found);
        ASSERT_EQ(box.lines.size(), lines.size()) << box.caption;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(box.lines[i].first, lines[i].label.toStdString());
            EXPECT_EQ(box.lines[i].second, lines[i].value.toStdString());
        }
    }
    // 27 lines in all, two texts each, and no other text.
    EXPECT_EQ(2 * 27, dialog.findChildren<QLabel*>().size());
}

TEST(EngineConfigurationLook, theWideBoxKeepsItsSecondColumnLevelWithTheFirstTwoLines) {
    EngineConfigurationDialog dialog;
    const QGroupBox* byteBox = group(dialog, "Byte 35-39");
    ASSERT_NE(nullptr, byteBox);
    std::map<QString, QPoint> at;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        at[label->text()] = label->pos();
    }
    const QPoint spn3344 = at["Support Variable Rate TSC1 Message  (SPN 3344) :"];
    const QPoint spn3345 = at["Support TSC1 Control Purpose Group 1 (SPN 3345) :"];
    const QPoint spn3346 = at["Support TSC1 Control Purpose Group 2 (SPN 3346) :"];
    const QPoint spn3347 = at["Support TSC1 Control Purpose Group 3 (SPN 3347) :"];
    const QPoint spn3348 = at["Support TSC1 Control Purpose Group 4 (SPN 3348) :"];
    EXPECT_EQ(spn3344.y(), spn3345.y());
    EXPECT_EQ(spn3346.y(), spn3347.y());
    EXPECT_GT(spn3345.x(), byteBox->x() + byteBox->width() / 2 - 20);
    EXPECT_EQ(spn3344.x(), spn3346.x());
    EXPECT_EQ(spn3344.x(), spn3348.x());
    EXPECT_LT(spn3344.y(), spn3346.y());
    EXPECT_LT(spn3346.y(), spn3348.y());
}

TEST(EngineConfigurationLook, noLabelOrValueIsCutOffInTheDialogFont) {
    EngineConfigurationDialog dialog;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(needed, label->width()) << label->text().toStdString();
    }
}

TEST(EngineConfigurationClosing, okEnterEscapeAndTheCloseBoxAllCloseIt) {
    const std::function<void(EngineConfigurationDialog*)> ways[] = {
        [](EngineConfigurationDialog* d) {
            QTest::mouseClick(d->controls().get<QPushButton>(1), Qt::LeftButton);
        },
        [](EngineConfigurationDialog* d) { QTest::keyClick(d, Qt::Key_Return); },
        [](EngineConfigurationDialog* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](EngineConfigurationDialog* d) { d->close(); },
    };
    EngineConfigurationDialog dialog;
    for (const auto& way : ways) {
        bool closedByTheWay = false;
        uitest::whenModalOpens<EngineConfigurationDialog>([&](EngineConfigurationDialog* d) {
            way(d);
            closedByTheWay = !d->isVisible();
        });
        dialog.exec();
        EXPECT_TRUE(closedByTheWay);
    }
}

}  // namespace
