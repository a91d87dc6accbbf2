#include "translate/unitstate.h"

#include "translate/bindings.h"

namespace qel {

void AssignCatalogueNames(UnitStates& units) {
    for (const UnitNames& unit : kUnits) {
        ForEachBinding(units, unit.Id, [](const Binding& binding, BindingPlace place) {
            place.Name = binding.Control;
        });
    }
}

}  // namespace qel
