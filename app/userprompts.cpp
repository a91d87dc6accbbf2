#include "app/userprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace qel {

bool QtUserPrompts::Confirm(const QString& text) {
    const auto answer =
        QMessageBox::question(Parent, QApplication::translate("UserPrompts", "Confirm"), text,
                              QMessageBox::Ok | QMessageBox::Cancel);
    return answer == QMessageBox::Ok;
}

std::optional<QString> QtUserPrompts::ChooseFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.front();
}

void QtUserPrompts::ShowMessage(const QString& text) {
    QMessageBox::information(Parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

void QtUserPrompts::ShowError(const QString& text) {
    QMessageBox::critical(Parent, QApplication::translate("UserPrompts", "Error"), text,
                          QMessageBox::Ok);
}

}  // namespace qel
