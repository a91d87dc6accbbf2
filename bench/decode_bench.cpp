// How many input reports per second the translator decodes, with every control bound,
// key events and log lines going nowhere. Three loads per report type: reports that
// change nothing (the steady state of a panel at rest), one button edge per report and
// one knob step per report. The _Watched cases run with the panel view's observer attached
// (touch to bind off), as while the Panel View window is open.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "panelview/panelwatch.h"
#include "translate/translator.h"
#include "translate/units.h"
#include "translate/us_layout.h"

namespace {

using namespace qel;

class DiscardingInjector final : public KeyInjector {
public:
    void KeyEvent(std::uint8_t virtualKey, bool down) override {
        benchmark::DoNotOptimize(virtualKey);
        benchmark::DoNotOptimize(down);
    }
};

class DiscardingLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override {
        benchmark::DoNotOptimize(line.data());
        benchmark::DoNotOptimize(line.size());
    }
};

enum class Load { NoChange, ButtonEdge, KnobStep };

struct Scenario {
    UnitId Unit;
    std::uint8_t Type;
    Load Kind;
    int Controls;  // buttons or rotaries the report carries
    bool Watched = false;
};

// Bound with modifiers, so that log lines carry full key texts.
KeyCode BindingFor(int index) {
    return 0x0300 | (0x70 + index % 12);
}

void BindEverything(UnitStates& units) {
    AssignCatalogueNames(units);
    int index = 0;
    for (BezelUnitState& bezel : units.BezelUnits) {
        for (ButtonState& button : bezel.Buttons) button.Key = BindingFor(index++);
        for (ButtonState& direction : bezel.PanDirections) direction.Key = BindingFor(index++);
        bezel.PanPush.Key = BindingFor(index++);
        for (RotaryState& rotary : bezel.Rotaries) {
            rotary.IncrKey = BindingFor(index++);
            rotary.DecrKey = BindingFor(index++);
        }
    }
    for (AudioUnitState& audio : units.AudioUnits) {
        for (ButtonState& button : audio.Buttons) button.Key = BindingFor(index++);
        for (RotaryState& rotary : audio.Rotaries) {
            rotary.IncrKey = BindingFor(index++);
            rotary.DecrKey = BindingFor(index++);
        }
    }
}

void BM_DecodeReport(benchmark::State& state, Scenario scenario) {
    auto units = std::make_unique<UnitStates>();
    BindEverything(*units);
    DiscardingInjector injector;
    DiscardingLog log;
    FlagKeyGate gate;
    const UsEnglishLayout layout;
    InputTranslator translator(*units, injector, log, gate, layout);
    PanelActivity activity;
    PanelWatch watch(activity, nullptr);
    if (scenario.Watched) {
        translator.SetControlObserver(&watch);
    }

    std::array<std::uint8_t, kReceiveBufferSize> report{};
    report[kReportTypeOffset] = scenario.Type;
    // The first report of a rotary only primes it; keep that out of the measurement.
    translator.DecodeReport(scenario.Unit, report);

    std::uint64_t count = 0;
    for (auto _ : state) {
        switch (scenario.Kind) {
            case Load::NoChange:
                break;
            case Load::ButtonEdge: {
                // Even reports press a button, odd ones release it; the button moves on each time.
                const auto button = static_cast<std::size_t>(
                    (count / 2) % static_cast<std::uint64_t>(scenario.Controls));
                report[kPayloadOffset + button / 8] ^=
                    static_cast<std::uint8_t>(1U << (button % 8));
                break;
            }
            case Load::KnobStep: {
                const auto rotary =
                    static_cast<std::size_t>(count % static_cast<std::uint64_t>(scenario.Controls));
                report[kPayloadOffset + rotary] =
                    static_cast<std::uint8_t>(report[kPayloadOffset + rotary] + 2);
                break;
            }
        }
        translator.DecodeReport(scenario.Unit, report);
        ++count;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

constexpr UnitId kBezel{UnitKind::Bezel, 1};
constexpr UnitId kAudio{UnitKind::Audio, 1};

BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_BezelC1,
                  Scenario{kBezel, kReportC1, Load::NoChange, 0});
BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_BezelC2,
                  Scenario{kBezel, kReportC2, Load::NoChange, 0});
BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_BezelC3,
                  Scenario{kBezel, kReportC3, Load::NoChange, 0});
BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_AudioC1,
                  Scenario{kAudio, kReportC1, Load::NoChange, 0});
BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_AudioC2,
                  Scenario{kAudio, kReportC2, Load::NoChange, 0});
BENCHMARK_CAPTURE(BM_DecodeReport, ButtonEdge_BezelC1,
                  Scenario{kBezel, kReportC1, Load::ButtonEdge, kBezelButtonCount});
BENCHMARK_CAPTURE(BM_DecodeReport, ButtonEdge_AudioC2,
                  Scenario{kAudio, kReportC2, Load::ButtonEdge, kAudioButtonCount});
BENCHMARK_CAPTURE(BM_DecodeReport, KnobStep_BezelC2,
                  Scenario{kBezel, kReportC2, Load::KnobStep, kRotariesPerReport});
BENCHMARK_CAPTURE(BM_DecodeReport, KnobStep_BezelC3,
                  Scenario{kBezel, kReportC3, Load::KnobStep, kRotariesPerReport});
BENCHMARK_CAPTURE(BM_DecodeReport, KnobStep_AudioC1,
                  Scenario{kAudio, kReportC1, Load::KnobStep, kAudioRotaryCount});
BENCHMARK_CAPTURE(BM_DecodeReport, NoChange_BezelC1_Watched,
                  Scenario{kBezel, kReportC1, Load::NoChange, 0, true});
BENCHMARK_CAPTURE(BM_DecodeReport, ButtonEdge_BezelC1_Watched,
                  Scenario{kBezel, kReportC1, Load::ButtonEdge, kBezelButtonCount, true});
BENCHMARK_CAPTURE(BM_DecodeReport, KnobStep_BezelC2_Watched,
                  Scenario{kBezel, kReportC2, Load::KnobStep, kRotariesPerReport, true});

}  // namespace
