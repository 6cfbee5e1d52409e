// Small print read larger: a page whose letters are only a few pixels high is resampled to
// twice its size before lines and characters are cut, so that the cut finds the gaps between
// letters the anti-aliasing filled and the references meet strokes of the sizes they learned.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// Lines whose median letter height (from the cut of the page as given) is below this many
// pixels are read from the picture resampled x2: 9 to 11 px is the capital height of 10 pt
// print at 100 dpi (11 in Palatino, whose touching letters read as m or d unless enlarged),
// and of 14 px screen text; at 150 dpi it is 14 px, which the stock references read as it is.
constexpr int kSmallPrintHeight = 12;

// The resampling factor for a page of width x height pixels cut into `lines`: 2 where its
// print is small (the median capital height of its lines below kSmallPrintHeight), else 1. A
// page of few letters (under 20) says too little about its print and stays as it is, as does
// one whose larger picture would exceed kMaxUpscaledPixels.
int UpscaleFactor(const std::vector<TextLine>& lines, int width, int height);
constexpr long long kMaxUpscaledPixels = 64LL << 20;

// The picture `factor` times as wide and high, by a Lanczos filter (three lobes), which keeps
// edges steep where bilinear or bicubic resampling would soften them; greys clamped to 0-255.
// factor 1 returns a copy.
GreyImage Upscale(const GreyImage& grey, int factor);

}  // namespace morvik
