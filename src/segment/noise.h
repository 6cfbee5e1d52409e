// Marks that are no characters: textures (random noise, hatching) and lines of dots too small
// to hold one. Reading leaves them out rather than print the letter they happen to be nearest.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

// A character's strokes cross a row or a column a few times: an m three times, a W four, an 8
// four down its middle, two W the segmenter left in one box eight. Noise crosses them dozens
// of times: a box whose rows, or whose columns, hold more than kNoiseCrossings runs of ink on
// average is a texture.
constexpr int kNoiseCrossings = 12;

// The height a line's tallest character must reach for the line to be read: below it a line
// holds dots, not characters (a character five pixels high has barely any shape left to
// match). The tallest, not the median: a line of dashes and one figure keeps the figure.
constexpr int kMinLineHeight = 5;

// Whether the ink of the box (clipped to the image) is a texture (see kNoiseCrossings).
bool IsTexture(const BinaryImage& ink, const Rect& box);

// Whether every character of the line (empty cells passed over) is lower than
// kMinLineHeight; a line without characters is not.
bool IsLineOfDots(const std::vector<CharBox>& chars);

// The segmentation without its lines of dots and its textures. A word space before a mark
// left out passes to the character after it; lines left without characters are dropped. With
// keepPlaces (a grid, whose cells stand for places) a texture's cell becomes Empty instead,
// its box the whole of what it was.
void RemoveNoise(Segmentation& s, const BinaryImage& ink, bool keepPlaces);

}  // namespace morvik
