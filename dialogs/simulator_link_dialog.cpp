#include "dialogs/simulator_link_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "translate/units.h"

namespace qel {

namespace {

struct RoleChoice {
    UnitRole Role;
    const char* Text;
};
constexpr std::array<RoleChoice, 4> kBezelRoles{{{UnitRole::Pfd, "PFD"},
                                                 {UnitRole::Mfd, "MFD"},
                                                 {UnitRole::CopilotPfd, "Copilot PFD"},
                                                 {UnitRole::None, "None"}}};
constexpr std::array<RoleChoice, 3> kAudioRoles{
    {{UnitRole::Pilot, "Pilot"}, {UnitRole::Copilot, "Copilot"}, {UnitRole::None, "None"}}};
constexpr std::array<const char*, 3> kDisplayCaptions{"PFD device", "MFD device",
                                                      "Copilot PFD device"};

template <std::size_t N>
QComboBox* MakeRoleBox(const std::array<RoleChoice, N>& choices) {
    auto* box = new QComboBox;
    for (const RoleChoice& choice : choices) {
        box->addItem(QString::fromUtf8(choice.Text), static_cast<int>(choice.Role));
    }
    return box;
}

QSpinBox* MakeSpin(int minimum, int maximum) {
    auto* spin = new QSpinBox;
    spin->setRange(minimum, maximum);
    return spin;
}

void Select(QComboBox* box, int value) {
    const int at = box->findData(value);
    box->setCurrentIndex(at < 0 ? 0 : at);
}

}  // namespace

SimulatorLinkDialog::SimulatorLinkDialog(Tester tester, QWidget* parent)
    : QDialog(parent), RunTest(std::move(tester)) {
    setWindowTitle(QStringLiteral("Simulator Link"));

    Link = new QComboBox;
    Link->addItem(QStringLiteral("None (keystrokes only)"), static_cast<int>(SimulatorKind::None));
    Link->addItem(QStringLiteral("X-Plane"), static_cast<int>(SimulatorKind::XPlane));
    Link->addItem(QStringLiteral("FlightGear"), static_cast<int>(SimulatorKind::FlightGear));
    Host = new QLineEdit;
    Port = MakeSpin(1, 65535);
    Transport = new QComboBox;
    Transport->addItem(QStringLiteral("UDP (X-Plane 11 and 12)"),
                       static_cast<int>(XPlaneTransport::Udp));
    Transport->addItem(QStringLiteral("Web API (X-Plane 12.1.4 and later)"),
                       static_cast<int>(XPlaneTransport::Web));
    WebPort = MakeSpin(1, 65535);

    auto* where = new QGroupBox(QStringLiteral("Simulator"));
    auto* whereForm = new QFormLayout(where);
    whereForm->addRow(QStringLiteral("&Link:"), Link);
    whereForm->addRow(QStringLiteral("&Host:"), Host);
    whereForm->addRow(QStringLiteral("&Port:"), Port);
    whereForm->addRow(QStringLiteral("&Transport:"), Transport);
    whereForm->addRow(QStringLiteral("&Web API port:"), WebPort);
    XPlaneOnly = {Transport, WebPort};

    auto* units = new QGroupBox(QStringLiteral("Units"));
    auto* unitForm = new QFormLayout(units);
    for (const UnitNames& unit : kUnits) {
        QComboBox* box =
            unit.Id.Kind == UnitKind::Bezel ? MakeRoleBox(kBezelRoles) : MakeRoleBox(kAudioRoles);
        Roles[static_cast<std::size_t>(unit.Id.DeviceIndex())] = box;
        const std::string_view caption = unit.LinkCaption;
        unitForm->addRow(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())) +
                QLatin1Char(':'),
            box);
    }

    FlightGearOnly = new QGroupBox(QStringLiteral("FlightGear FG1000 device numbers"));
    auto* deviceForm = new QFormLayout(FlightGearOnly);
    for (std::size_t role = 0; role < Devices.size(); ++role) {
        // Every number keymap.ini takes: FlightGear's own Debug menu opens a PFD as device 0.
        Devices[role] = MakeSpin(0, kLargestFlightGearDevice);
        deviceForm->addRow(QString::fromUtf8(kDisplayCaptions[role]) + QLatin1Char(':'),
                           Devices[role]);
    }

    TestBtn = new QPushButton(QStringLiteral("T&est"));
    Result = new QLabel;
    Result->setWordWrap(true);
    Result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(TestBtn, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(units);
    layout->addWidget(FlightGearOnly);
    layout->addWidget(Result);
    layout->addWidget(buttons);

    connect(Link, &QComboBox::currentIndexChanged, this, [this] { LinkChanged(); });
    connect(TestBtn, &QPushButton::clicked, this, [this] { TestClicked(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetSettings(LinkSettings{});
}

void SimulatorLinkDialog::SetSettings(const LinkSettings& settings) {
    Kept = settings;
    Select(Link, static_cast<int>(settings.Link));
    Host->setText(QString::fromStdString(settings.Host));
    Port->setValue(settings.Port);
    Select(Transport, static_cast<int>(settings.Transport));
    WebPort->setValue(settings.WebPort);
    for (std::size_t device = 0; device < Roles.size(); ++device) {
        Select(Roles[device], static_cast<int>(settings.Roles[device]));
    }
    for (std::size_t role = 0; role < Devices.size(); ++role) {
        Devices[role]->setValue(settings.FlightGearDevices[role]);
    }
    Result->clear();
    LinkChanged();
}

LinkSettings SimulatorLinkDialog::Settings() const {
    LinkSettings settings = Kept;
    settings.Link = static_cast<SimulatorKind>(Link->currentData().toInt());
    settings.Host = Host->text().trimmed().toStdString();
    settings.Port = static_cast<std::uint16_t>(Port->value());
    settings.Transport = static_cast<XPlaneTransport>(Transport->currentData().toInt());
    settings.WebPort = static_cast<std::uint16_t>(WebPort->value());
    for (std::size_t device = 0; device < Roles.size(); ++device) {
        settings.Roles[device] = static_cast<UnitRole>(Roles[device]->currentData().toInt());
    }
    for (std::size_t role = 0; role < Devices.size(); ++role) {
        settings.FlightGearDevices[role] = Devices[role]->value();
    }
    return settings;
}

void SimulatorLinkDialog::LinkChanged() {
    const auto kind = static_cast<SimulatorKind>(Link->currentData().toInt());
    // A port that is still the other simulator's default follows the simulator chosen.
    if (kind == SimulatorKind::FlightGear && Port->value() == kXPlaneUdpPort) {
        Port->setValue(kFlightGearPort);
    } else if (kind == SimulatorKind::XPlane && Port->value() == kFlightGearPort) {
        Port->setValue(kXPlaneUdpPort);
    }
    const bool linked = kind != SimulatorKind::None;
    Host->setEnabled(linked);
    Port->setEnabled(linked);
    for (QWidget* field : XPlaneOnly) {
        field->setEnabled(kind == SimulatorKind::XPlane);
    }
    FlightGearOnly->setEnabled(kind == SimulatorKind::FlightGear);
    for (QComboBox* box : Roles) {
        box->setEnabled(linked);
    }
    TestBtn->setEnabled(linked);
}

void SimulatorLinkDialog::TestClicked() {
    const int number = ++TestNumber;
    Result->setText(QStringLiteral("Testing..."));
    QPointer<SimulatorLinkDialog> self(this);
    RunTest(Settings(), [self, number](const std::string& answer) {
        if (self != nullptr && number == self->TestNumber) {
            self->Result->setText(QString::fromStdString(answer));
        }
    });
}

}  // namespace qel
