// A lower folder that includes a higher one: scripts/check-layers must name
// this include (tests/CMakeLists.txt).
#pragma once

#include "run/report.h"
