// Display masks live with the shared helpers (no Qt), so that windows, reports and exports
// format amounts alike.
#pragma once

#include "app/Mask.h"
