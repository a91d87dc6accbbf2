#pragma once

#include <array>
#include <string_view>

#include "core/hidhook.h"

class QLabel;

namespace qel {

// The main window's status labels and status panel 0 as the notification handling's view.
// Main thread only; the labels must outlive the view.
class LabelStatusView final : public DeviceStatusView {
public:
    // Labels by device index: bezel units 0-3, then audio units 0-1.
    LabelStatusView(std::array<QLabel*, kDeviceCount> unitLabels, QLabel& connectedPanel)
        : UnitLabels(unitLabels), ConnectedPanel(connectedPanel) {}

    void SetUnitCaption(int deviceIndex, std::string_view caption) override;
    void SetConnectedText(std::string_view text) override;

private:
    std::array<QLabel*, kDeviceCount> UnitLabels;
    QLabel& ConnectedPanel;
};

}  // namespace qel
