#pragma once

#include <QWidget>

namespace qel {

// A lowered line along one edge of its rectangle: the row separators of the key settings
// dialog (bottom line) and the rule of the About box (top line). Draws only; clicks pass
// through to what lies beneath.
class TBevel final : public QWidget {
    Q_OBJECT

public:
    enum class Shape { TopLine, BottomLine };

    TBevel(Shape shape, QWidget* parent);

    [[nodiscard]] Shape LineShape() const { return LineShape_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape LineShape_;
};

}  // namespace qel
