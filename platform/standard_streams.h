#pragma once

namespace qel::platform {

// Makes standard input, output and error carry bytes exactly as written, so a program's output
// is the same on every platform: no "\n" to "\r\n" translation (Windows text mode) and no end
// of input at a Ctrl-Z byte. Call once, before any input or output.
void UseBinaryStandardStreams();

}  // namespace qel::platform
