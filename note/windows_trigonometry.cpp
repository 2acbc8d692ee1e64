#include "note/trigonometry.h"

namespace notora {

double Sine(double x) { return AccurateSine(x); }
double Cosine(double x) { return AccurateCosine(x); }

}  // namespace notora
