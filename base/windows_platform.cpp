#include "base/platform.h"

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kCrLf; }
PathStyle PlatformPathStyle() { return PathStyle::kWindows; }

// Large pages on Windows need a privilege users do not hold: the table is
// filled page by page.
void PreferLargePages(void*, std::size_t) {}

}  // namespace notora
