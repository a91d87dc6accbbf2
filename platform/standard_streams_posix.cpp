// POSIX streams are bytes already.
#include "platform/standard_streams.h"

namespace qel::platform {

void UseBinaryStandardStreams() {}

}  // namespace qel::platform
