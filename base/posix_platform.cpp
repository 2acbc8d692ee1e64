#include "base/platform.h"

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kLf; }
PathStyle PlatformPathStyle() { return PathStyle::kPosix; }

}  // namespace notora
