// Placeholder so that the link's transports build on their own branch.
#include "simlink/sim_command_output.h"
