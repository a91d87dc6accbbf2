#include "dialogs/about.h"

#include <string_view>

#include <QApplication>
#include <QEvent>
#include <QShowEvent>
#include <QLabel>
#include <QPushButton>

#include "dialogs/bevel.h"
#include "dialogs/formfont.h"
#include "dialogs/logoanimation.h"
#include "dialogs/logoartwork.h"
#include "dialogs/logoimage.h"
#include "qel/version.h"

namespace qel {
namespace {

constexpr int kAnimationIntervalMs = 50;

QLabel* MakeCentredLabel(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent), Clock([] { return std::time(nullptr); }) {
    setWindowTitle(QStringLiteral("About..."));
    setFont(FormFont());
    // The client area of a 416 × 208 window with a sizeable border and a caption.
    resize(408, 174);
    move(341, 291);

    LogoImage = new TLogoImage(MakeLogo(), this);
    LogoImage->move(8, 8);
    connect(LogoImage, &TLogoImage::Clicked, this, &TAboutForm::LogoImageClick);
    connect(LogoImage, &TLogoImage::DoubleClicked, this, &TAboutForm::LogoImageDblClick);

    ProductLbl = MakeCentredLabel(QStringLiteral("Product"), QRect(128, 16, 265, 17), this);
    QFont bold = ProductLbl->font();
    bold.setBold(true);
    ProductLbl->setFont(bold);
    VersionLbl = MakeCentredLabel(QStringLiteral("Version"), QRect(128, 40, 265, 17), this);
    CopyLbl = MakeCentredLabel(QStringLiteral("Panel keys for the simulator, typed for you"),
                               QRect(128, 88, 265, 17), this);

    Bevel1 = new TBevel(TBevel::Shape::TopLine, this);
    Bevel1->setGeometry(136, 112, 257, 9);

    OkBtn = new QPushButton(QStringLiteral("&Ok"), this);
    OkBtn->setGeometry(160, 144, 81, 25);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);

    AniTimer.setInterval(kAnimationIntervalMs);
    connect(&AniTimer, &QTimer::timeout, this, &TAboutForm::AniTimerTimer);
}

void TAboutForm::FormActivate() {
    // A build without a product name or version keeps the design captions.
    const std::string_view productName = kProductName;
    if (!productName.empty()) {
        const QString name =
            QString::fromUtf8(productName.data(), static_cast<qsizetype>(productName.size()));
        ProductLbl->setText(name);
        setWindowTitle(QStringLiteral("About ") + name);
    }
    const std::string_view productVersion = kProductVersion;
    if (!productVersion.empty()) {
        VersionLbl->setText(QStringLiteral("Version: ") +
                            QString::fromUtf8(productVersion.data(),
                                              static_cast<qsizetype>(productVersion.size())));
    }
}

void TAboutForm::LogoImageClick() {
    if (!AniTimer.isActive()) {
        AniTimer.start();
    }
}

void TAboutForm::LogoImageDblClick() {
    QApplication::beep();
    LogoImageClick();
}

void TAboutForm::FormClose() {
    AniTimer.stop();
}

void TAboutForm::AniTimerTimer() {
    // Seeded with the second on every step: steps within one second start from the same
    // numbers and pass over the pixels the earlier step already blackened.
    const auto seed = static_cast<std::uint32_t>(Clock());
    const int darkened = DarkenWhitePixels(LogoImage->Picture(), seed);
    LogoImage->update();
    if (darkened < kPixelsPerStep) {
        AniTimer.stop();
    }
}

void TAboutForm::done(int result) {
    FormClose();
    QDialog::done(result);
}

bool TAboutForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(event);
}

void TAboutForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormActivate();
    }
    QDialog::showEvent(event);
}

}  // namespace qel
