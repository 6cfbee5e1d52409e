// A picture of text cut into lines and characters: binarise, take the 8-connected components,
// drop dust, frames and rules, group lines, merge the parts of each character, split touching
// ones, find spaces.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/components.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// Lines and characters of any picture; a picture without ink gives no lines. Past maxChars
// characters it stops: the lines found by then hold more than maxChars.
Segmentation SegmentText(const GreyImage& grey, Polarity polarity = Polarity::Auto,
                         std::size_t maxChars = kNoCharacterLimit);

// The lines of ink of a binary image, boxes in its coordinates. typicalHeight sizes the dust
// (see IsDust); 0 takes the image's own typical component height. Stops past maxChars
// characters as SegmentText does.
std::vector<TextLine> SegmentLines(const BinaryImage& image, int typicalHeight = 0,
                                   std::size_t maxChars = kNoCharacterLimit);
// The same where the image's components (FindComponents(image)) are found already.
std::vector<TextLine> SegmentLines(const BinaryImage& image, std::vector<Component> components,
                                   int typicalHeight, std::size_t maxChars);

}  // namespace morvik
