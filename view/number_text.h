// Numbers as the command line writes them.
#pragma once

#include <string>

namespace notora {

// The shortest decimal text that reads back as `value` ("35", "0.5",
// "1.5707963267948966", "1e+300"); "nan", "inf" or "-inf" when not finite.
std::string ShortestReal(double value);

// `value` with at most `decimals` digits after the point, trailing zeros
// and a trailing point dropped ("12.5", "-3", "0"); for drawing coordinates.
std::string FixedReal(double value, int decimals);

}  // namespace notora
