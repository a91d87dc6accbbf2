#pragma once

#include <QColor>

namespace qel {

// Screen: the live view, a unit drawn in its own greys with lit controls in amber.
// Paper: black on white for the binding sheet.
enum class SchematicStyle { Screen, Paper };

// A surface that carries text, and the two inks used on it: every text the schematic shows is
// dark on a lighter surface.
struct TextColours {
    QColor Fill;
    QColor Text;   // key texts, names, captions
    QColor Faint;  // printed labels on keys, the dash of an unbound binding
};

// Every colour the schematic is drawn with.
struct SchematicPalette {
    TextColours Face;    // the unit's face, with the knobs' printed names
    TextColours Key;     // a key, or the place of a knob binding
    TextColours Lit;     // held, or its knob turning that way
    TextColours Screen;  // the bezel's screen (the audio unit's caption strip)
    QColor Outline;
    QColor Knob;       // a knob, or a dual knob's outer ring
    QColor InnerKnob;  // a dual knob's inner knob
    QColor KnobEdge;
    QColor Selected;  // the mark around the binding being chosen
};

// greyed: the unit is not connected. It is drawn in paler greys, its text as legible as ever.
[[nodiscard]] const SchematicPalette& PaletteOf(SchematicStyle style, bool greyed);

}  // namespace qel
