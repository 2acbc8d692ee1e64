#include "note/trigonometry.h"

#include <cmath>

namespace notora {

double Sine(double x) { return std::sin(x); }
double Cosine(double x) { return std::cos(x); }

}  // namespace notora
