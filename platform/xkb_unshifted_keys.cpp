#include "platform/xkb_unshifted_keys.h"

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace qel {
namespace {

struct ContextFree {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapFree {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

// X key codes are Linux key codes plus 8, a convention xkbcommon shares.
constexpr xkb_keycode_t kXkbKeycodeOffset = 8;

}  // namespace

std::optional<UnshiftedKeys> XkbUnshiftedKeys(const XkbLayoutName& name) {
    // The caller has already read the configured layout; the environment must not
    // override it behind its back.
    std::unique_ptr<xkb_context, ContextFree> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context) return std::nullopt;
    // An unknown layout is an expected answer, not something for standard error.
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);

    const xkb_rule_names names{
        .rules = "evdev",
        .model = "pc105",
        .layout = name.Layout.empty() ? "us" : name.Layout.c_str(),
        .variant = name.Variant.c_str(),
        .options = "",
    };
    std::unique_ptr<xkb_keymap, KeymapFree> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) return std::nullopt;

    UnshiftedKeys keys;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap.get());
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap.get()); keycode <= last; ++keycode) {
        if (keycode < kXkbKeycodeOffset) continue;
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, 0, 0, &syms);
        if (count != 1) continue;
        keys.try_emplace(syms[0], static_cast<std::uint16_t>(keycode - kXkbKeycodeOffset));
    }
    return keys;
}

}  // namespace qel
