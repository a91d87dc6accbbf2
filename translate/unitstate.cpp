#include "translate/unitstate.h"

namespace qel {

void AssignCatalogueNames(UnitStates& units) {
    for (BezelUnitState& bezel : units.BezelUnits) {
        for (std::size_t i = 0; i < bezel.Buttons.size(); ++i) {
            bezel.Buttons[i].Name = kBezelButtonNames[i];
        }
        for (std::size_t i = 0; i < bezel.Rotaries.size(); ++i) {
            bezel.Rotaries[i].Name = kBezelRotaryNames[i];
        }
        for (std::size_t i = 0; i < bezel.PanDirections.size(); ++i) {
            std::string& name = bezel.PanDirections[i].Name;
            name = kPanDirectionPrefix;
            name += kPanDirectionSuffixes[i];
        }
        bezel.PanPush.Name = kPanPushName;
    }
    for (AudioUnitState& audio : units.AudioUnits) {
        for (std::size_t i = 0; i < audio.Buttons.size(); ++i) {
            audio.Buttons[i].Name = kAudioButtonNames[i];
        }
        for (std::size_t i = 0; i < audio.Rotaries.size(); ++i) {
            audio.Rotaries[i].Name = kAudioRotaryNames[i];
        }
    }
}

}  // namespace qel
