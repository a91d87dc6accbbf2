#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <QFontInfo>
#include <QImage>
#include <QPaintEngine>

#include "keymap/bindingslot.h"
#include "panelview/schematic_palette.h"
#include "panelview/schematicwidget.h"
#include "translate/us_layout.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

// An image that keeps every text drawn on it with its height in device pixels (a screen at
// 100 %: the image's 96 dots per inch, one device pixel per pixel).
class TextRecorder final : public QImage {
public:
    struct Text {
        QString String;
        double Pixels = 0;
    };

    explicit TextRecorder(QSize size) : QImage(size, QImage::Format_ARGB32) {}
    QPaintEngine* paintEngine() const override { return &Engine; }
    [[nodiscard]] const std::vector<Text>& Texts() const { return Engine.Texts; }

private:
    class Recording final : public QPaintEngine {
    public:
        Recording() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override {
            if ((state.state() & QPaintEngine::DirtyTransform) != 0) {
                Transform = state.transform();
            }
        }
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            const double scale = std::sqrt(std::abs(Transform.determinant()));
            Texts.push_back({item.text(), item.font().pixelSize() * scale});
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawEllipse(const QRectF&) override {}
        Type type() const override { return User; }

        QTransform Transform;
        std::vector<Text> Texts;
    };
    mutable Recording Engine;
};

double Luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

TEST(SchematicPainter, EveryTextIsDarkOnLightAtAContrastOfAtLeast4Point5) {
    for (const SchematicStyle style : {SchematicStyle::Screen, SchematicStyle::Paper}) {
        for (const bool greyed : {false, true}) {
            const SchematicPalette& palette = PaletteOf(style, greyed);
            const std::pair<const char*, const TextColours*> surfaces[]{
                {"face", &palette.Face},
                {"key", &palette.Key},
                {"lit", &palette.Lit},
                {"screen", &palette.Screen}};
            for (const auto& [name, colours] : surfaces) {
                for (const QColor& ink : {colours->Text, colours->Faint}) {
                    SCOPED_TRACE(std::string(name) + (greyed ? " greyed " : " ") + "ink " +
                                 ink.name().toStdString());
                    EXPECT_GE(Contrast(ink, colours->Fill), 4.5);
                    EXPECT_LT(Luminance(ink), Luminance(colours->Fill));
                }
            }
        }
    }
}

TEST(SchematicPainter, AtItsSmallestSizeNoTextIsUnder8PixelsOrCutShortEvenLitAndLong) {
    // The longest key text there is in every binding, every control held or turning fast.
    const auto units = std::make_unique<UnitStates>();
    PanelActivity activity;
    for (int deviceIndex : {0, kFirstAudioDeviceIndex}) {
        for (int slot = 0; slot < BindingSlotCount(DeviceUnit(deviceIndex)); ++slot) {
            *BindingField(*units, DeviceUnit(deviceIndex), slot) =
                kShiftBit | kCtrlBit | kAltBit | 0x22;
        }
    }
    const UsEnglishLayout layout;
    // No simulator link: every cell shows its key text.
    struct : LinkCommands {
        bool Linked() const override { return false; }
        int Revision() const override { return 0; }
        std::string CommandOf(UnitId, int) const override { return {}; }
        std::string LabelOf(UnitId, int) const override { return {}; }
        Status SetCommand(UnitId, int, const std::string&) override { return {}; }
    } noLink;
    TSchematicWidget widget(*units, layout, activity, noLink);
    // With no font at all (Qt offscreen under Wine) every glyph is a box an em wide: sizes
    // still hold, but whether a text fits cannot be judged.
    const bool realFont = !QFontInfo(widget.font()).family().isEmpty();
    for (const bool lit : {false, true}) {
        activity.Clear();
        for (int deviceIndex : {0, kFirstAudioDeviceIndex}) {
            for (int index = 0; lit && index < kBezelButtonCount; ++index) {
                activity.Record(
                    MakeControlEvent(DeviceUnit(deviceIndex), ControlKind::Button, index, 1));
            }
            for (int index = 0; lit && index < kBezelRotaryCount; ++index) {
                for (int step = 0; step < 6; ++step) {
                    activity.Record(
                        MakeControlEvent(DeviceUnit(deviceIndex), ControlKind::Rotary, index, 64));
                }
            }
        }
        for (int deviceIndex : {0, kFirstAudioDeviceIndex}) {
            for (const QSize size : {widget.sizeHint(), widget.minimumSizeHint()}) {
                SCOPED_TRACE(testing::Message() << "unit " << deviceIndex << (lit ? " lit " : " ")
                                                << size.width() << "x" << size.height());
                widget.ShowUnit(DeviceUnit(deviceIndex),
                                {QStringLiteral("QEL1000-0: Connected"), {}}, false);
                widget.resize(size);
                TextRecorder recorder(size);
                widget.render(&recorder);
                ASSERT_FALSE(recorder.Texts().empty());
                const auto smallest = std::min_element(
                    recorder.Texts().begin(), recorder.Texts().end(),
                    [](const auto& a, const auto& b) { return a.Pixels < b.Pixels; });
                EXPECT_GE(smallest->Pixels, TSchematicWidget::kMinimumTextPixels)
                    << smallest->String.toStdString();
                for (const TextRecorder::Text& text : recorder.Texts()) {
                    EXPECT_FALSE(realFont && text.String.contains(QChar(0x2026)))
                        << text.String.toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace qel::test
