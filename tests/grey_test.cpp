// Tests of the grey formula, the grey conversion, the histograms and the automatic threshold
// with the values it writes into the threshold and increment controls.
#include "image/grey.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "core/error.h"
#include "form/image_state.h"

namespace morvik {
namespace {

using Bins = std::array<int, 16>;

// One row of pixels whose greys fill the coarse bins as given (grey 16 i + 7 for bin i).
Bitmap BitmapWithBins(const Bins& bins) {
  int total = 0;
  for (int n : bins) total += n;
  Bitmap bm(total, 1);
  int x = 0;
  for (int i = 0; i < 16; ++i)
    for (int k = 0; k < bins[i]; ++k, ++x)
      bm.SetPixel(x, 0, MakeColour(16 * i + 7, 16 * i + 7, 16 * i + 7));
  return bm;
}

// Counts the change notifications of the two controls.
struct Counting {
  ImageState state;
  int thresholdChanges = 0, incrementChanges = 0;
  Counting() {
    state.Settings.OnThresholdChanged = [this] { ++thresholdChanges; };
    state.Settings.OnIncrementChanged = [this] { ++incrementChanges; };
  }
};

TEST(GreyOf, WorkedExamples) {
  struct Case {
    Colour colour;
    int grey;
  };
  const Case cases[] = {
      {0x0000FF, 76},  // 76.5, half to even
      {0x00FF00, 153},
      {0xFF0000, 26},              // 25.5, half to even
      {MakeColour(15, 0, 0), 4},   // 4.5 exactly, to even
      {MakeColour(0, 1, 99), 11},  // extended sum just above 10.5; double gives 10
      {MakeColour(1, 0, 0), 0},    // 0.3
      {MakeColour(0, 0, 5), 0},    // 0.5, half to even
      {MakeColour(0, 0, 15), 2},   // 1.5, half to even
      {0xFFFFFF, 255},
      {0x000000, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GreyOf(c.colour), c.grey) << std::hex << c.colour;
}

TEST(GreyOf, EveryGreyIsItself) {
  for (int g = 0; g < 256; ++g) EXPECT_EQ(GreyOf(MakeColour(g, g, g)), g);
}

// For every colour the grey is the nearest integer to (3R + 6G + B) / 10, and at an exact half
// either the even neighbour or (the weights lying a little above 0.3, 0.6, 0.1) the one above;
// never the one below. About one in five of the halves goes up to the odd neighbour.
TEST(GreyOf, NearestWithHalvesToEvenOrJustAbove) {
  long halves = 0, oddUp = 0, wrong = 0;
  for (int r = 0; r < 256; ++r) {
    for (int g = 0; g < 256; ++g) {
      for (int b = 0; b < 256; ++b) {
        const int n = 3 * r + 6 * g + b, low = n / 10, grey = GreyOf(MakeColour(r, g, b));
        bool ok;
        if (n % 10 != 5) {
          ok = grey == (n % 10 < 5 ? low : low + 1);
        } else {
          ++halves;
          const int even = low % 2 == 0 ? low : low + 1;
          ok = grey == even || grey == low + 1;
          if (grey != even) ++oddUp;
        }
        if (!ok && wrong++ == 0) ADD_FAILURE() << r << "," << g << "," << b << " -> " << grey;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(oddUp, halves / 8);
  EXPECT_LT(oddUp, halves / 3);
}

// The analysis converts each pixel to its grey, inverted for "Black", in place.
void Convert(Bitmap& bm, int colourItem) {
  ImageState state;
  state.Settings.RadioGroupCol = colourItem;
  state.Settings.CheckBoxAuto = false;
  AnalyseBitmap(bm, state);
}

TEST(AnalyseBitmap, WhiteKeepsGreyBlackInverts) {
  Bitmap bm(4, 1);
  bm.SetPixel(0, 0, kWhite);
  bm.SetPixel(1, 0, kBlack);
  bm.SetPixel(2, 0, 0x0000FF);
  bm.SetPixel(3, 0, MakeColour(0, 1, 99));
  Bitmap white = bm, black = bm;
  Convert(white, 0);
  Convert(black, 1);
  const int greys[] = {255, 0, 76, 11};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(white.Pixel(x, 0), MakeColour(greys[x], greys[x], greys[x]));
    const int inv = 255 - greys[x];
    EXPECT_EQ(black.Pixel(x, 0), MakeColour(inv, inv, inv));
  }
  // Each conversion with "Black" inverts anew: twice gives the polarity of one "White".
  Convert(black, 1);
  EXPECT_EQ(black, white);
}

// Analysing converts every pixel to its grey (inverted for "Black") and counts the converted
// pixels: checked pixel by pixel on pictures of grey runs broken by colours at every offset.
TEST(AnalyseBitmap, ConvertsAndCountsEveryPixelAsGreyOfDefines) {
  std::mt19937 random(1208);
  for (int round = 0; round < 200; ++round) {
    Bitmap bm(1 + static_cast<int>(random() % 23), 1 + static_cast<int>(random() % 5));
    const int colours = static_cast<int>(random() % 4);  // none in a quarter of the pictures
    for (int y = 0; y < bm.Height(); ++y)
      for (int x = 0; x < bm.Width(); ++x) {
        const int v = static_cast<int>(random() % 256);
        const bool colour = colours > 0 && static_cast<int>(random() % 8) < colours;
        bm.SetPixel(x, y, colour ? static_cast<Colour>(random() & 0xFFFFFF) : MakeColour(v, v, v));
      }
    for (const int item : {0, 1}) {
      ImageState state;
      state.Settings.RadioGroupCol = item;
      state.Settings.CheckBoxAuto = false;
      Bitmap converted = bm;
      AnalyseBitmap(converted, state);
      std::array<std::int32_t, 256> counts{};
      for (int y = 0; y < bm.Height(); ++y)
        for (int x = 0; x < bm.Width(); ++x) {
          const int g = GreyOf(bm.Pixel(x, y)), want = item == 1 ? 255 - g : g;
          ASSERT_EQ(converted.Pixel(x, y), MakeColour(want, want, want))
              << "round " << round << " item " << item << " at " << x << "," << y;
          ++counts[static_cast<std::size_t>(want)];
        }
      EXPECT_EQ(state.Analysis.Histogram, counts) << "round " << round << " item " << item;
    }
  }
}

TEST(Histograms, CountGreysOfColoursAndSumBins) {
  Bitmap bm(3, 2);
  bm.SetPixel(0, 0, 0x0000FF);  // 76
  bm.SetPixel(1, 0, 0x0000FF);
  bm.SetPixel(2, 0, 0x00FF00);  // 153
  bm.SetPixel(0, 1, kWhite);
  bm.SetPixel(1, 1, MakeColour(79, 79, 79));
  bm.SetPixel(2, 1, MakeColour(80, 80, 80));
  ImageState state;
  state.Analysis.Histogram.fill(9);
  state.Settings.CheckBoxAuto = false;
  AnalyseBitmap(bm, state);
  const Histograms& h = state.Analysis;
  EXPECT_EQ(h.Histogram[76], 2);
  EXPECT_EQ(h.Histogram[153], 1);
  EXPECT_EQ(h.Histogram[255], 1);
  EXPECT_EQ(h.Histogram[0], 0);
  const Bins coarse = {0, 0, 0, 0, 3, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(h.CoarseHistogram[i], coarse[i]) << i;
  EXPECT_EQ(h.PeakBin, 4);
}

TEST(FindPeak, FirstOfEqualMaximaAndZeroForEmpty) {
  Histograms h;
  h.PeakBin = 7;
  FindPeak(h);
  EXPECT_EQ(h.PeakBin, 0);
  h.CoarseHistogram = {0, 1, 5, 2, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5};
  FindPeak(h);
  EXPECT_EQ(h.PeakBin, 2);
}

struct ThresholdCase {
  Bins bins;
  int peak, t, threshold, increment;
};

class Threshold : public testing::TestWithParam<ThresholdCase> {};

TEST_P(Threshold, FromCoarseBins) {
  const ThresholdCase& c = GetParam();
  Histograms h;
  for (int i = 0; i < 16; ++i) h.CoarseHistogram[i] = c.bins[i];
  FindPeak(h);
  EXPECT_EQ(h.PeakBin, c.peak);
  EXPECT_EQ(FindThreshold(h), c.t);
}

TEST_P(Threshold, AnalyseWritesBothControls) {
  const ThresholdCase& c = GetParam();
  Counting counting;
  ImageState& s = counting.state;
  Bitmap bm = BitmapWithBins(c.bins);
  AnalyseBitmap(bm, s);
  EXPECT_EQ(s.Analysis.PeakBin, c.peak);
  EXPECT_EQ(s.Settings.SpinEditTresh(), c.threshold);
  EXPECT_EQ(s.Settings.SpinEditInc(), c.increment);
  EXPECT_EQ(counting.thresholdChanges, 1);
  EXPECT_EQ(counting.incrementChanges, 1);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Threshold,
    testing::Values(
        ThresholdCase{{100}, 0, 0, 0, 100},  // -1 clamped to 0
        ThresholdCase{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 15, 15, 92, 8},
        ThresholdCase{{800, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200}, 0, 12, 74, 26},
        ThresholdCase{{1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10}, 0, 4, 24, 76},
        // The valley is the first zero at 7, not the dip at 3.
        ThresholdCase{{10, 50, 20, 5, 8, 30, 2}, 1, 3, 17, 83},
        ThresholdCase{{0, 0, 600, 300, 40, 10, 0, 0, 0, 20, 60, 90}, 2, 8, 49, 51},
        // First of two equal peaks; 100 / 600 rounded to double, times 48, lies below 8.
        ThresholdCase{{300, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 0, 11, 67, 33},
        // 103 / 309 rounded to double, times 12, lies below 4.
        ThresholdCase{{301, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 101}, 0, 7, 42, 58}));

// A picture of one grey in bin t has its threshold at t.
TEST(AnalyseBitmap, ControlsForEveryThresholdBin) {
  const int thresholds[16] = {0, 5, 11, 17, 24, 30, 36, 42, 49, 55, 61, 67, 74, 80, 86, 92};
  const int increments[16] = {100, 95, 89, 83, 76, 70, 64, 58, 51, 45, 39, 33, 26, 20, 14, 8};
  for (int t = 0; t < 16; ++t) {
    ImageState s;
    Bitmap bm(3, 2);
    bm.Fill(MakeColour(16 * t + 3, 16 * t + 3, 16 * t + 3));
    AnalyseBitmap(bm, s);
    EXPECT_EQ(s.Settings.SpinEditTresh(), thresholds[t]) << t;
    EXPECT_EQ(s.Settings.SpinEditInc(), increments[t]) << t;
  }
}

TEST(AnalyseBitmap, AutodetectOffTouchesNeitherControl) {
  Counting counting;
  ImageState& s = counting.state;
  s.Settings.SetSpinEditTresh(33);
  s.Settings.SetSpinEditInc(44);
  counting.thresholdChanges = counting.incrementChanges = 0;
  s.Settings.CheckBoxAuto = false;
  Bitmap bm(2, 2);
  bm.Fill(0x0000FF);
  AnalyseBitmap(bm, s);
  EXPECT_EQ(bm.Pixel(1, 1), MakeColour(76, 76, 76));
  EXPECT_EQ(s.Analysis.Histogram[76], 4);
  EXPECT_EQ(s.Analysis.CoarseHistogram[4], 4);
  EXPECT_EQ(s.Analysis.PeakBin, 4);
  EXPECT_EQ(s.Settings.SpinEditTresh(), 33);
  EXPECT_EQ(s.Settings.SpinEditInc(), 44);
  EXPECT_EQ(counting.thresholdChanges + counting.incrementChanges, 0);
}

TEST(AnalyseBitmap, NoPixelsFailsWithAutodetectAndLeavesControls) {
  for (const Bitmap& empty : {Bitmap(0, 5), Bitmap(5, 0), Bitmap()}) {
    Counting counting;
    ImageState& s = counting.state;
    s.Analysis.Histogram.fill(3);
    s.Analysis.CoarseHistogram.fill(3);
    s.Analysis.PeakBin = 9;
    Bitmap bm = empty;
    EXPECT_THROW(AnalyseBitmap(bm, s), Error);
    EXPECT_EQ(s.Settings.SpinEditTresh(), 45);
    EXPECT_EQ(s.Settings.SpinEditInc(), 50);
    EXPECT_EQ(counting.thresholdChanges + counting.incrementChanges, 0);
    for (int v : s.Analysis.Histogram) ASSERT_EQ(v, 0);
    for (int v : s.Analysis.CoarseHistogram) ASSERT_EQ(v, 0);
    EXPECT_EQ(s.Analysis.PeakBin, 0);

    s.Settings.CheckBoxAuto = false;
    EXPECT_NO_THROW(AnalyseBitmap(bm, s));
  }
}

// The increment is written after the threshold, from the threshold read back: the threshold's
// handler still sees the old increment.
TEST(AnalyseBitmap, ThresholdIsWrittenBeforeIncrement) {
  ImageState s;
  int incrementSeen = -1;
  s.Settings.OnThresholdChanged = [&] { incrementSeen = s.Settings.SpinEditInc(); };
  Bitmap bm(1, 1);
  bm.Fill(MakeColour(16 * 8, 16 * 8, 16 * 8));
  AnalyseBitmap(bm, s);
  EXPECT_EQ(incrementSeen, 50);
  EXPECT_EQ(s.Settings.SpinEditInc(), 51);
}

TEST(ImageSettings, ClampsAndNotifiesOnlyOnChange) {
  Counting counting;
  ImageSettings& st = counting.state.Settings;
  struct Step {
    int write, stored, thresholdChanges, incrementChanges;  // counts so far
  };
  // The increment starts at 50, so writing 45 changes it but not the threshold.
  const Step steps[] = {{45, 45, 0, 1},   {46, 46, 1, 2}, {150, 100, 2, 3}, {100, 100, 2, 3},
                        {101, 100, 2, 3}, {-1, 0, 3, 4},  {0, 0, 3, 4}};
  for (const Step& step : steps) {
    st.SetSpinEditTresh(step.write);
    st.SetSpinEditInc(step.write);
    EXPECT_EQ(st.SpinEditTresh(), step.stored) << step.write;
    EXPECT_EQ(st.SpinEditInc(), step.stored) << step.write;
    EXPECT_EQ(counting.thresholdChanges, step.thresholdChanges) << step.write;
    EXPECT_EQ(counting.incrementChanges, step.incrementChanges) << step.write;
  }
  st.SetSpinEditRatio(0);
  EXPECT_EQ(st.SpinEditRatio(), 1);
  st.SetSpinEditRatio(250);
  EXPECT_EQ(st.SpinEditRatio(), 100);
}

}  // namespace
}  // namespace morvik
