// Salt-and-pepper noise removed before a picture is cut: single pixels far brighter or darker
// than every neighbour take the median of their neighbours.
#pragma once

#include "segment/grey_image.h"

namespace morvik {

// How far (in grey levels) a pixel must stand out from all eight neighbours to count as a
// isolated pixel.
constexpr int kIsolatedPixelContrast = 64;

// A copy in which every pixel brighter than the brightest of its eight neighbours, or darker
// than the darkest, by more than kIsolatedPixelContrast, while the neighbours lie within
// kIsolatedPixelContrast of one another, is replaced by the median of those neighbours (the
// lower of the middle two). A neighbour half way to the pixel makes it the soft edge of a
// mark, as the one-pixel dot of an i at screen sizes is, and it stays; so does a pixel over a stem
// of its grey (the two pixels below it from two or from three rows down), the sharp dot of an i. A
// pixel of a stroke always has a neighbour of the stroke, so strokes, however thin, are kept.
// Border pixels count only the neighbours inside.
GreyImage RemoveIsolatedPixels(const GreyImage& grey);
// The same in place, for a caller that has no more use for the picture as it was: one
// picture's memory less.
void RemoveIsolatedPixelsInPlace(GreyImage& grey);

}  // namespace morvik
