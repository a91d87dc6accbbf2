// Placeholder so that the link's transports build on their own branch.
#include "simlink/link_settings.h"
