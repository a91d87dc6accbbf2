#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>

namespace qel::platform {

void UseBinaryStandardStreams() {
    // The C run time's file descriptors start in text mode; the C++ streams write through them.
    for (FILE* stream : {stdin, stdout, stderr}) {
        // A stream without a descriptor (no console, nothing redirected) has nothing to change.
        (void)_setmode(_fileno(stream), _O_BINARY);
    }
}

}  // namespace qel::platform
