#include "loader/ui/QtFileChooser.h"

#include <QFileDialog>

namespace loader::ui {

QStringList QtFileChooser::qtFilters(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        QString description = parts[i];
        // "*.*" means every file, also those without a dot in the name.
        description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        filters << description;
    }
    return filters;
}

std::optional<std::string> QtFileChooser::chooseFile(const loader::OpenFileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (request.hideReadOnly) {
        dialog.setOption(QFileDialog::ReadOnly, false);
    }
    const QStringList filters = qtFilters(QString::fromUtf8(request.filters));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.first());
    }
    dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExtension));
    // A pattern as the initial name only repeats the filter; Qt would take it for a name.
    const QString initialName = QString::fromUtf8(request.initialName);
    if (!initialName.contains('*')) {
        dialog.selectFile(initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace loader::ui
