#pragma once

#include <string>
#include <string_view>

namespace qel {

// A command as short as a control's cell can show it: an X-Plane path without its folders and
// the G1000's unit prefix ("softkey3"), a FlightGear FG1000 key by its name ("HEADING") or soft
// key number ("SOFTKEY 3"), a property toggle by the property's last part ("com1mic"); two
// commands joined by "+". Anything else is shown as it is.
[[nodiscard]] std::string CommandLabel(std::string_view command);

}  // namespace qel
