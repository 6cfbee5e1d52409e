// 8-connected components of the ink, found as horizontal runs joined row to row, and the dust
// among them: dots too small for a character of the picture's size.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

struct Component {
  Rect Box;
  long long Area = 0;  // ink pixels
};

// The components in the order of their first pixel (top to bottom, left to right).
std::vector<Component> FindComponents(const BinaryImage& image);

// The median height of the components at least a quarter as tall as the tallest: the height of
// a character, unmoved by any amount of noise dots. 0 without components.
int TypicalHeight(const std::vector<Component>& components);

// Dust: fewer than 3 ink pixels, or fewer than (typical height / 12) squared. At a 64-pixel cap
// height that is a dot of up to 28 pixels, while the dot of an i there has over a hundred.
bool IsDust(const Component& component, int typicalHeight);

// The image without its dust components.
BinaryImage RemoveDust(const BinaryImage& image, int typicalHeight);

}  // namespace morvik
