#include "note/note_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace notora {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
// Where a vertical string holds its variable box value: WT or HT.
constexpr VerticalValue kBefore = VerticalValue::kBefore;
constexpr VerticalValue kAfter = VerticalValue::kAfter;

NoteString Fields(double WT, double HT, double A, int M, int VH, double XS = 10.0,
                  double YS = 20.0) {
  NoteString fields;
  fields.NC = 3;
  fields.FC = 1;
  fields.WT = WT;
  fields.HT = HT;
  fields.A = A;
  fields.M = M;
  fields.VH = VH;
  fields.XS = XS;
  fields.YS = YS;
  return fields;
}

void ExpectPoint(Point actual, double x, double y) {
  EXPECT_NEAR(actual.x, x, 1e-9);
  EXPECT_NEAR(actual.y, y, 1e-9);
}

TEST(LayOutStringTest, HorizontalStringFillsItsBoxFromTheStartPoint) {
  const StringLayout layout = LayOutString(Fields(30.0, 5.0, 0.0, 0, 0), "ABC", kBefore);
  ExpectPoint(layout.box[0], 10.0, 20.0);
  ExpectPoint(layout.box[1], 40.0, 20.0);
  ExpectPoint(layout.box[2], 40.0, 25.0);
  ExpectPoint(layout.box[3], 10.0, 25.0);
  EXPECT_EQ(layout.fontSize, 5.0);
  ASSERT_EQ(layout.runs.size(), 1u);
  EXPECT_EQ(layout.runs[0].text, "ABC");
  EXPECT_EQ(layout.runs[0].length, 30.0);
  EXPECT_EQ(layout.slant, 0.0);
}

TEST(LayOutStringTest, NegativeWidthIsDrawnWithItsSize) {
  const StringLayout layout = LayOutString(Fields(-30.0, 5.0, 0.0, 0, 0), "ABC", kBefore);
  ExpectPoint(layout.box[1], 40.0, 20.0);
}

TEST(LayOutStringTest, RotationTurnsTheBoxAboutTheStartPoint) {
  const StringLayout layout = LayOutString(Fields(30.0, 5.0, kHalfPi, 0, 0), "ABC", kBefore);
  ExpectPoint(layout.box[0], 10.0, 20.0);
  ExpectPoint(layout.box[1], 10.0, 50.0);
  ExpectPoint(layout.box[2], 5.0, 50.0);
}

TEST(LayOutStringTest, MirrorFlagsMirrorAboutTheLinesThroughTheStartPoint) {
  // 1: about the line perpendicular to the base line; 2: about the base line.
  const StringLayout across = LayOutString(Fields(30.0, 5.0, 0.0, 1, 0), "ABC", kBefore);
  ExpectPoint(across.box[1], -20.0, 20.0);
  ExpectPoint(across.box[2], -20.0, 25.0);
  const StringLayout along = LayOutString(Fields(30.0, 5.0, 0.0, 2, 0), "ABC", kBefore);
  ExpectPoint(along.box[1], 40.0, 20.0);
  ExpectPoint(along.box[2], 40.0, 15.0);
}

TEST(LayOutStringTest, SlantLeansUprightStrokes) {
  NoteString fields = Fields(30.0, 5.0, 0.0, 0, 0);
  fields.SL = std::atan(2.0);  // rises 2 for every 1 forward
  EXPECT_NEAR(LayOutString(fields, "A", kBefore).slant, 0.5, 1e-12);
  fields.SL = kHalfPi;
  EXPECT_EQ(LayOutString(fields, "A", kBefore).slant, 0.0);
  fields.SL = 0.0;  // written by many systems for upright text
  EXPECT_EQ(LayOutString(fields, "A", kBefore).slant, 0.0);
}

TEST(LayOutStringTest, VerticalStringRunsDownFromTheStartPoint) {
  // Column length (WT) 30 over three characters, width (HT) 8.
  const StringLayout layout = LayOutString(Fields(30.0, 8.0, 0.0, 0, 1), "縦書き", kBefore);
  ASSERT_EQ(layout.runs.size(), 3u);
  EXPECT_EQ(layout.runs[0].text, "縦");
  EXPECT_EQ(layout.runs[2].text, "き");
  EXPECT_TRUE(layout.runs[0].centred);
  EXPECT_EQ(layout.fontSize, 8.0);
  // Cells of 10: the first above the start point, each next one 10 lower.
  EXPECT_NEAR(layout.runs[0].origin.x, 4.0, 1e-12);
  EXPECT_NEAR(layout.runs[0].origin.y - layout.runs[1].origin.y, 10.0, 1e-12);
  EXPECT_NEAR(layout.runs[1].origin.y - layout.runs[2].origin.y, 10.0, 1e-12);
  ExpectPoint(layout.box[0], 10.0, 0.0);
  ExpectPoint(layout.box[2], 18.0, 30.0);
}

TEST(LayOutStringTest, VerticalValueAfterTakesTheColumnLengthFromHT) {
  const StringLayout layout = LayOutString(Fields(8.0, 30.0, 0.0, 0, 1), "縦書き", kAfter);
  ExpectPoint(layout.box[0], 10.0, 0.0);
  ExpectPoint(layout.box[2], 18.0, 30.0);
}

TEST(AffineTest, ThenAppliesTheFirstMapFirst) {
  const Affine shift{1.0, 0.0, 0.0, 1.0, 5.0, 0.0};
  const Affine turn{0.0, 1.0, -1.0, 0.0, 0.0, 0.0};  // a quarter turn
  ExpectPoint(shift.Then(turn).Apply({1.0, 0.0}), 0.0, 6.0);
  ExpectPoint(turn.Then(shift).Apply({1.0, 0.0}), 5.0, 1.0);
}

}  // namespace
}  // namespace notora
