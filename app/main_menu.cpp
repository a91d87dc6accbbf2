// The main window's menu commands: each shows a dialog or asks the key map, the link or the
// sheet writer to do its work, and shows the outcome.
#include "app/main.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>

#include "panelview/bindingsheet.h"

namespace qel {

namespace {

// The save dialog of "Print Bindings...": a PDF unless the HTML filter is chosen.
QFileDialog* MakeBindingsDialog(QWidget* parent) {
    auto* dialog = new QFileDialog(parent, QStringLiteral("Print Bindings"), QString(),
                                   QStringLiteral("PDF file (*.pdf);;HTML file (*.html)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->selectFile(QStringLiteral("bindings.pdf"));
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(filter.contains(QStringLiteral("html")) ? QStringLiteral("html")
                                                                         : QStringLiteral("pdf"));
    });
    return dialog;
}

// The sheet of units' bindings as of today, on the locale's paper.
SheetContent SheetOfToday(const KeyCore& keys) {
    SheetContent content;
    content.Units = &keys.Units();
    content.Layout = &keys.Layout();
    const std::optional<std::string>& path = keys.KeyMapFileName();
    content.KeyMapPath = path ? QString::fromStdString(*path) : QStringLiteral("(none)");
    content.Date = QDate::currentDate();
    content.PageSize = LocalePageSize(QLocale::system());
    return content;
}

}  // namespace

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::Keysettings1Click() {
    IniForm.exec();
}

void TMainForm::About1Click() {
    AboutForm.exec();
}

void TMainForm::DeleteAllKeys1Click() {
    if (Prompts->Confirm(QStringLiteral("Are you sure you want to delete all settings ?"))) {
        ShowSaveFailure(Session.Keys().ClearAll());
    }
}

void TMainForm::ShowSaveFailure(const Status& saved) {
    if (saved) {
        return;
    }
    // The log keeps its line as well; this is for whoever is not in debug mode.
    Prompts->ShowError(QString::fromStdString(saved.Error()) +
                       QStringLiteral("\n\nThe change was not saved: it lasts only until the "
                                      "program closes."));
}

void TMainForm::ImportMindstar1Click() {
    if (Ui.MindstarOD == nullptr) {
        Ui.MindstarOD = new QFileDialog(this, QStringLiteral("Search Mindstar INI File"), QString(),
                                        QStringLiteral("Mindstar INI File (G1000.ini)"));
        Ui.MindstarOD->setAcceptMode(QFileDialog::AcceptOpen);
        Ui.MindstarOD->setFileMode(QFileDialog::ExistingFile);
    }
    const std::optional<QString> chosen = Prompts->ChooseFile(*Ui.MindstarOD);
    if (!chosen) {
        return;
    }
    // A folder of that name is no key file either; importing it would unbind 220 keys.
    if (!QFileInfo(*chosen).isFile()) {
        Prompts->ShowMessage(QStringLiteral("Error reading file!"));
        return;
    }
    const std::optional<Status> imported = Session.Keys().Import(chosen->toUtf8().toStdString());
    if (!imported) {
        // The key map file has logged why; success must not be claimed for a failed import.
        Prompts->ShowError(
            QStringLiteral("Mindstar INI file not imported: the reason is in "
                           "the log (Tools, Debug Mode)."));
    } else if (*imported) {
        Prompts->ShowMessage(QStringLiteral("Mindstar INI file imported."));
    } else {
        ShowSaveFailure(*imported);
    }
}

void TMainForm::PanelView1Click() {
    PanelView.show();
    PanelView.raise();
    PanelView.activateWindow();
}

void TMainForm::PrintBindings1Click() {
    if (Ui.BindingsSD == nullptr) {
        Ui.BindingsSD = MakeBindingsDialog(this);
    }
    const std::optional<QString> chosen = Prompts->ChooseFile(*Ui.BindingsSD);
    if (!chosen) {
        return;
    }
    const SheetOutcome outcome = WriteBindingSheet(*chosen, SheetOfToday(Session.Keys()));
    if (outcome.Written) {
        Prompts->ShowMessage(QStringLiteral("Bindings written to %1.").arg(*chosen));
    } else {
        Prompts->ShowError(outcome.Problem);
    }
}

void TMainForm::SimulatorLink1Click() {
    LinkForm.SetSettings(Link.Settings());
    if (LinkForm.exec() != QDialog::Accepted) {
        return;
    }
    ShowSaveFailure(Link.Apply(LinkForm.Settings()));
}

}  // namespace qel
