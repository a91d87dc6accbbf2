#include "app/userprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace qel {

QWidget* QtUserPrompts::Over() const {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr ? active : Parent;
}

bool QtUserPrompts::Confirm(const QString& text) {
    const auto answer =
        QMessageBox::question(Over(), QApplication::translate("UserPrompts", "Confirm"), text,
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
    QMessageBox::information(Over(), QApplication::applicationName(), text, QMessageBox::Ok);
}

void QtUserPrompts::ShowError(const QString& text) {
    QMessageBox::critical(Over(), QApplication::translate("UserPrompts", "Error"), text,
                          QMessageBox::Ok);
}

}  // namespace qel
