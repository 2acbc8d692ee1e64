// fuzz/ may use tests/support/ only: scripts/check-layers must refuse this.
#pragma once

#include "tests/reliability/anything.h"
