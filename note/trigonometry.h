// Sine and cosine of a string's direction, as the conversion moves each new
// string block along it. The results go into the output in full, so every
// system must give the same bits, and the C libraries do not: Linux's is off
// by one bit for about one drawing angle in 300, MinGW-w64's by far more near
// multiples of pi/2 (cos(-pi/2) is 6.1230e-17 there instead of 6.1232e-17).
// These are notora's own, the same on every system: sin x and cos x rounded
// to the nearest double. The reduction by pi/2 and the series are carried in
// double-double arithmetic (about 100 bits), so the rounding is right unless
// the exact value lies within 2^-100 of a midpoint. For |x| of 2^52 or more,
// which no drawing's angle reaches, the C library's functions answer.
#pragma once

namespace notora {

double Sine(double x);
double Cosine(double x);

}  // namespace notora
