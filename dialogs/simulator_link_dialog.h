#pragma once

#include <array>
#include <functional>
#include <string>

#include <QDialog>

#include "simlink/link_settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qel {

// Tools > "Simulator Link...": which simulator the panels drive, where it runs, and what each
// unit is there. Edits a copy of the settings; the caller stores them. "Test" asks the
// simulator as the fields stand, through the tester the caller gives.
class SimulatorLinkDialog final : public QDialog {
    Q_OBJECT

public:
    // Runs a test of the settings and calls back with what came back, on the main thread.
    using Tester = std::function<void(const LinkSettings&, std::function<void(std::string)>)>;

    SimulatorLinkDialog(Tester tester, QWidget* parent = nullptr);

    void SetSettings(const LinkSettings& settings);
    // The settings as the fields stand; custom commands are kept from SetSettings.
    [[nodiscard]] LinkSettings Settings() const;

    // For the tests and the screenshots.
    [[nodiscard]] QComboBox* LinkBox() const { return Link; }
    [[nodiscard]] QLineEdit* HostEdit() const { return Host; }
    [[nodiscard]] QSpinBox* PortBox() const { return Port; }
    [[nodiscard]] QPushButton* TestButton() const { return TestBtn; }
    [[nodiscard]] QLabel* TestResult() const { return Result; }

private:
    // Shows only the fields the chosen simulator reads.
    void LinkChanged();
    void TestClicked();

    Tester RunTest;
    LinkSettings Kept;
    QComboBox* Link = nullptr;
    QLineEdit* Host = nullptr;
    QSpinBox* Port = nullptr;
    QComboBox* Transport = nullptr;
    QSpinBox* WebPort = nullptr;
    std::array<QComboBox*, kDeviceCount> Roles{};
    std::array<QSpinBox*, 3> Devices{};
    std::array<QWidget*, 2> XPlaneOnly{};
    QWidget* FlightGearOnly = nullptr;
    QPushButton* TestBtn = nullptr;
    QLabel* Result = nullptr;
    // Each test gets a number, so that a late answer to an earlier one is not shown.
    int TestNumber = 0;
};

}  // namespace qel
