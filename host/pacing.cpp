// Pacing restarts requested by commands and modal dialogs.
#include "host/pacing.h"

uint32_t pacingResetRequests;

void pacing_reset() { ++pacingResetRequests; }
