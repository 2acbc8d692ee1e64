// Double-double arithmetic: a value is the unevaluated sum hi + lo of two
// doubles with |lo| at most half an ulp of hi, about 106 bits in all. The
// error-free sums and products below rely on every operation being rounded
// once to double (no fused multiply-add: the build turns contraction off).
#include "note/trigonometry.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace notora {
namespace {

struct DoubleDouble {
  double hi;
  double lo;
};

// a + b exactly, as a rounded sum and its error.
DoubleDouble TwoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// The same when |a| >= |b|.
DoubleDouble QuickTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// a split into two halves of 26 bits each, whose products are exact.
DoubleDouble Split(double a) {
  const double scaled = 134217729.0 * a;  // 2^27 + 1
  const double hi = scaled - (scaled - a);
  return {hi, a - hi};
}

// a * b exactly, as a rounded product and its error.
DoubleDouble TwoProduct(double a, double b) {
  const double product = a * b;
  const DoubleDouble x = Split(a), y = Split(b);
  return {product, ((x.hi * y.hi - product) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s = QuickTwoSum(s.hi, s.lo + t.hi);
  return QuickTwoSum(s.hi, s.lo + t.lo);
}

DoubleDouble Negate(DoubleDouble a) { return {-a.hi, -a.lo}; }

DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble p = TwoProduct(a.hi, b.hi);
  return QuickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// pi/2 as the sum of four doubles (212 bits), and 2/pi rounded.
constexpr double kHalfPi[4] = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54,
                               -0x1.f1976b7ed8fbcp-110, 0x1.4cf98e804177dp-164};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// 1/n! for n = 0 to 27, each as a double-double.
constexpr DoubleDouble kInverseFactorial[28] = {
    {0x1.0000000000000p+0, 0.0},
    {0x1.0000000000000p+0, 0.0},
    {0x1.0000000000000p-1, 0.0},
    {0x1.5555555555555p-3, 0x1.5555555555555p-57},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-73},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {0x1.27e4fb7789f5cp-22, 0x1.cbbc05b4fa99ap-76},
    {0x1.ae64567f544e4p-26, -0x1.c062e06d1f209p-80},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {0x1.93974a8c07c9dp-37, 0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-41, 0x1.1d8656b0ee8cbp-97},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {0x1.6827863b97d97p-53, 0x1.eec01221a8b0bp-107},
    {0x1.2f49b46814157p-57, 0x1.2650f61dbdcb4p-112},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {0x1.0ce396db7f853p-70, -0x1.aebcdbd20331cp-124},
    {0x1.761b41316381ap-75, -0x1.3423c7d91404fp-130},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {0x1.88e85fc6a4e5ap-89, -0x1.71c37ebd16540p-143},
    {0x1.d1ab1c2dccea3p-94, 0x1.054d0c78aea14p-149},
};

// Beyond this the reduction by four parts of pi/2 would no longer be exact
// enough (and k no longer an exact integer).
constexpr double kLargestReduced = 0x1p52;

// The series of sin r (odd: r - r^3/3! + ...) or cos r (even: 1 - r^2/2!
// + ...) for |r| <= pi/4, to the 14th term, which is below 2^-96 of the
// result; Horner's rule from the smallest term up.
DoubleDouble Series(DoubleDouble r, bool odd) {
  const DoubleDouble square = Multiply(r, r);
  const int offset = odd ? 1 : 0;
  const auto coefficient = [&](int j) {
    const DoubleDouble c = kInverseFactorial[2 * j + offset];
    return j % 2 == 0 ? c : Negate(c);
  };
  constexpr int kLastTerm = 13;
  DoubleDouble sum = coefficient(kLastTerm);
  for (int j = kLastTerm - 1; j >= 0; --j) sum = Add(coefficient(j), Multiply(sum, square));
  return odd ? Multiply(sum, r) : sum;
}

// |x| = quadrant * pi/2 + r with |r| <= pi/4 (a little more after rounding).
struct Reduced {
  DoubleDouble r;
  int quadrant;  // 0 to 3
};

Reduced Reduce(double ax) {
  const double k = std::floor(ax * kTwoOverPi + 0.5);
  DoubleDouble r = {ax, 0.0};
  for (int part = 0; part < 3; ++part) r = Add(r, Negate(TwoProduct(k, kHalfPi[part])));
  r = Add(r, {-k * kHalfPi[3], 0.0});
  return {r, static_cast<int>(static_cast<std::int64_t>(k) & 3)};
}

// The strings of a note share a few directions (a vertical string's is its
// rotation less pi/2), so the values of the angles met lately are kept, per
// thread (batch converts on several), by the angle's bits so that -0 and 0
// stay apart. An angle maps to one slot.
struct KnownValue {
  std::uint64_t bits = 0;
  double value = 0.0;
  bool held = false;
};
constexpr std::size_t kKnownSlots = 16;

template <double (*Compute)(double)>
double Remembered(double x, KnownValue (&slots)[kKnownSlots]) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  KnownValue& slot = slots[(bits * 0x9E3779B97F4A7C15ull) >> 60];
  if (slot.held && slot.bits == bits) return slot.value;
  slot.value = Compute(x);
  slot.bits = bits;
  slot.held = true;
  return slot.value;
}

double ComputeSine(double x) {
  const double ax = std::fabs(x);
  if (!(ax < kLargestReduced)) return std::isfinite(x) ? std::sin(x) : x - x;
  // sin x = x (1 - x^2/6 + ...) rounds to x.
  if (ax < 0x1p-26) return x;
  const Reduced reduced = Reduce(ax);
  DoubleDouble value = Series(reduced.r, /*odd=*/(reduced.quadrant & 1) == 0);
  if (reduced.quadrant >= 2) value = Negate(value);
  return x < 0 ? -value.hi : value.hi;
}

double ComputeCosine(double x) {
  const double ax = std::fabs(x);
  if (!(ax < kLargestReduced)) return std::isfinite(x) ? std::cos(x) : x - x;
  // cos x = 1 - x^2/2 + ... rounds to 1.
  if (ax < 0x1p-27) return 1.0;
  const Reduced reduced = Reduce(ax);
  DoubleDouble value = Series(reduced.r, /*odd=*/(reduced.quadrant & 1) == 1);
  if (reduced.quadrant == 1 || reduced.quadrant == 2) value = Negate(value);
  return value.hi;
}

}  // namespace

double Sine(double x) {
  thread_local KnownValue slots[kKnownSlots];
  return Remembered<ComputeSine>(x, slots);
}

double Cosine(double x) {
  thread_local KnownValue slots[kKnownSlots];
  return Remembered<ComputeCosine>(x, slots);
}

}  // namespace notora
