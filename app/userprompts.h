#pragma once

#include <optional>

#include <QString>

class QFileDialog;
class QWidget;

namespace qel {

// The questions and messages the main window puts to the user, behind one seam so that the
// menu commands can be driven without anyone at the screen. Main thread only.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A confirmation with OK and Cancel; true only for OK.
    [[nodiscard]] virtual bool Confirm(const QString& text) = 0;
    // Runs the open-file dialog; the chosen name, or nothing when the user cancelled.
    [[nodiscard]] virtual std::optional<QString> ChooseFile(QFileDialog& dialog) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // An error message with an OK button.
    virtual void ShowError(const QString& text) = 0;
};

// The prompts as modal Qt dialogs over the active window (the panel view, say, or a dialog),
// or over parent when none of ours is active.
class QtUserPrompts final : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* parent) : Parent(parent) {}
    [[nodiscard]] bool Confirm(const QString& text) override;
    [[nodiscard]] std::optional<QString> ChooseFile(QFileDialog& dialog) override;
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;

private:
    [[nodiscard]] QWidget* Over() const;

    QWidget* Parent;
};

}  // namespace qel
