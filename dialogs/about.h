#pragma once

#include <ctime>
#include <functional>

#include <QDialog>
#include <QImage>
#include <QTimer>

class QLabel;
class QPushButton;

namespace qel {

class TBevel;
class TLogoImage;

// The About box: product name and version of this build, the logo and a notice. Clicking
// the logo starts an animation that turns five random white logo pixels black every 50 ms
// until none are left; the darkened logo stays for the program's life. Double-clicking
// beeps (and counts as a click). Main thread only; one instance lives as long as the program.
class TAboutForm final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Caption and labels from the compiled-in version information; runs on every activation.
    void FormActivate();
    void LogoImageClick();
    void LogoImageDblClick();
    // Stops the animation; runs whenever the box closes.
    void FormClose();
    // One animation step, seeded with the current second; stops the timer once the logo
    // has no white pixel left to turn.
    void AniTimerTimer();

    // Whole seconds for seeding each step; std::time by default, fixed in tests.
    std::function<std::time_t()> Clock;

    // Components; owned by the box.
    TLogoImage* LogoImage = nullptr;
    QLabel* ProductLbl = nullptr;
    QLabel* VersionLbl = nullptr;
    QLabel* CopyLbl = nullptr;
    TBevel* Bevel1 = nullptr;
    QPushButton* OkBtn = nullptr;
    QTimer AniTimer;

public slots:
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace qel
