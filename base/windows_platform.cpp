#include "base/platform.h"

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kCrLf; }
PathStyle PlatformPathStyle() { return PathStyle::kWindows; }

}  // namespace notora
