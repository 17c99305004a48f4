#pragma once
// The open-file dialog for FirmwareImage::choose, as a Qt file dialog.

#include <QString>
#include <QStringList>
#include <QWidget>

#include "loader/core/FirmwareImage.h"

namespace loader::ui {

class QtFileChooser : public loader::FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseFile(const loader::OpenFileRequest& request) override;

    // "Vlf Files (*.Vlf)|*.Vlf|...||" -> {"Vlf Files (*.Vlf)", ...}: Qt shows the patterns
    // from the description, so the pattern halves of the pairs are dropped.
    static QStringList qtFilters(const QString& pairs);

private:
    QWidget* parent_;
};

}  // namespace loader::ui
