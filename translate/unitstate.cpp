#include "translate/unitstate.h"

#include "translate/bindings.h"

namespace qel {

void AssignCatalogueNames(UnitStates& units) {
    for (int device = 0; device < kDeviceCount; ++device) {
        ForEachBinding(units, device, [](const Binding& binding, BindingPlace place) {
            place.Name = binding.Control;
        });
    }
}

}  // namespace qel
