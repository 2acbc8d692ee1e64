// The sine and cosine that move string blocks along a note's direction: the
// same bits on every system.
#include "note/trigonometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include <quadmath.h>

namespace notora {
namespace {

struct Expected {
  double x;
  double sine;
  double cosine;
};

// Rounded to the nearest double from the exact values.
constexpr Expected kKnown[] = {
    {-0x1.921fb54442d18p+0, -0x1.0000000000000p+0, 0x1.1a62633145c07p-54},  // -pi/2
    {0x1.921fb54442d18p+0, 0x1.0000000000000p+0, 0x1.1a62633145c07p-54},    // pi/2
    {0x1.0c152382d7365p-1, 0x1.fffffffffffffp-2, 0x1.bb67ae8584cabp-1},     // pi/6
    {-0x1.0c152382d7366p+0, -0x1.bb67ae8584cabp-1, 0x1.ffffffffffffep-2},   // pi/6 - pi/2
    {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1.0000000000000p+0},   // pi
    {0x1.921fb54442d18p+2, -0x1.1a62633145c07p-52, 0x1.0000000000000p+0},   // 2 pi
    {0x1.2d97c7f3321d2p+2, -0x1.0000000000000p+0, -0x1.a79394c9e8a0ap-53},  // 3 pi/2
    {0x1.6300000000000p+8, -0x1.f9bd0307d1de3p-16, -0x1.fffffffc18e4cp-1},  // 355, near 113 pi
    {0x1.6000000000000p+4, -0x1.220a29f6eb9f4p-7, -0x1.fffadd8d4acdap-1},   // 22, near 7 pi
    {0x1.e848000000000p+19, -0x1.6664b2568d867p-2, 0x1.df9df9906d32cp-1},   // 1e6
    {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},    // pi/4
    {0x1.12e0be826d695p-30, 0x1.12e0be826d695p-30, 0x1.0000000000000p+0},   // 1e-9
    {0x1.c6bf526340000p+49, 0x1.b76f88136cebap-1, -0x1.06c154609d33fp-1},   // 1e15
    {-0x1.4000000000000p+1, -0x1.326af0dcfcab1p-1, -0x1.9a2f7ef858b7dp-1},  // -2.5
    {0x1.9000000000000p+6, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1},    // 100
};

TEST(TrigonometryTest, KnownAnglesGiveTheSameBitsOnEverySystem) {
  for (const Expected& known : kKnown) {
    SCOPED_TRACE(known.x);
    EXPECT_EQ(Sine(known.x), known.sine);
    EXPECT_EQ(Cosine(known.x), known.cosine);
  }
  EXPECT_TRUE(std::signbit(Sine(-0.0)));
  EXPECT_EQ(Cosine(-0.0), 1.0);
  EXPECT_TRUE(std::isnan(Sine(INFINITY)));
  EXPECT_TRUE(std::isnan(Cosine(NAN)));
}

// On the angles drawings use (whole and tenth degrees and multiples of pi/12,
// each also turned by -pi/2 as vertical strings are) the results are the
// 113-bit values of libquadmath rounded to double: among them are the angles
// where the C library of Linux is one bit off (-0x1.88121d88f4591p+2).
TEST(TrigonometryTest, RoundsTheExactValueOnDrawingAngles) {
  const double pi = 3.141592653589793;
  const double halfPi = 1.5707963267948966;
  int differences = 0;
  const auto check = [&](double x) {
    const double sine = static_cast<double>(sinq(static_cast<__float128>(x)));
    const double cosine = static_cast<double>(cosq(static_cast<__float128>(x)));
    if (Sine(x) != sine || Cosine(x) != cosine) {
      if (++differences <= 5) ADD_FAILURE() << std::hexfloat << x;
    }
  };
  for (int tenth = -3600; tenth <= 3600; ++tenth) {
    for (double angle : {tenth * pi / 1800, tenth / 10 * (pi / 180)}) {
      check(angle);
      check(angle - halfPi);
    }
  }
  for (int k = -48; k <= 48; ++k) check(k * (pi / 12));
  check(-0x1.88121d88f4591p+2);
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace notora
