#include "simnet/link_status.h"

#include <utility>

namespace qel {

void LinkStatus::SetListener(std::function<void(LinkState, std::string_view)> listener) {
    Listener = std::move(listener);
}

void LinkStatus::Enter(LinkState state, std::string_view text) {
    if (state == Current) {
        return;
    }
    Current = state;
    Note(text);
}

void LinkStatus::Show(std::string_view text) {
    if (Listener) {
        Listener(Current, text);
    }
}

void LinkStatus::Note(std::string_view text) {
    Log.AppendLine(text);
    Show(text);
}

std::string HostAndPort(std::string_view host, std::uint16_t port) {
    std::string text;
    if (host.find(':') != std::string_view::npos) {
        text.append("[").append(host).append("]");
    } else {
        text.append(host);
    }
    return text.append(":").append(std::to_string(port));
}

}  // namespace qel
