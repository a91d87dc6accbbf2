#include "app/statusview.h"

#include <QLabel>
#include <QString>

namespace qel {

namespace {
QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void LabelStatusView::SetUnitCaption(int deviceIndex, std::string_view caption) {
    if (deviceIndex < 0 || deviceIndex >= kDeviceCount) {
        return;
    }
    UnitLabels[static_cast<std::size_t>(deviceIndex)]->setText(ToQString(caption));
}

void LabelStatusView::SetConnectedText(std::string_view text) {
    ConnectedPanel.setText(ToQString(text));
}

}  // namespace qel
