#pragma once

#include <QImage>
#include <QWidget>

namespace qel {

// Shows a picture at its own size and reports clicks and double clicks. The picture is
// held here and may be changed in place through Picture(); call update() afterwards.
class TLogoImage final : public QWidget {
    Q_OBJECT

public:
    TLogoImage(QImage picture, QWidget* parent);

    [[nodiscard]] QImage& Picture() { return Picture_; }
    [[nodiscard]] const QImage& Picture() const { return Picture_; }

signals:
    void Clicked();
    void DoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage Picture_;
};

}  // namespace qel
