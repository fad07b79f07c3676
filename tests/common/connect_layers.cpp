// The tests of the layers above the core run with the layers connected as
// the program connects them at start-up, before any test brings the
// machine up.
#include "host/core/layers.h"

namespace {
const bool connected = (host_connect_layers(), true);
}
