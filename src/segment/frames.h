// Lines and rectangles drawn around or between text (the frame of a dialog, a button's
// outline, a rule under a heading): they are no characters, and left among the components they
// would make one giant character of everything they enclose or underline.
#pragma once

#include <vector>

#include "segment/components.h"

namespace morvik {

// A frame: a component whose ink fills less than an eighth of its box, at least 16 pixels
// each way, whose box holds at least two other components wholly inside. A letter's box
// (even an O's) holds no others.
bool IsFrame(const Component& c, const std::vector<Component>& all);

// A rule: a stroke at least four character heights long across, or two and a half down, and
// on average at most a quarter of one thick (at least a pixel).
bool IsRule(const Component& c, int typicalHeight);

// A drawn line: at least 32 pixels long and on average a twentieth of that thick or less (a
// side of a frame, a rule); the longest strokes of characters are thicker.
bool IsDrawnLine(const Component& c);

// The components without frames, drawn lines and the sides of frames: thin uprights too short
// for drawn lines (a button's side, its light corners dropped by the threshold) closed at both
// ends by drawn lines. The boxes of the upright lines and sides taken out are added to `sides`
// when given.
void RemoveFrames(std::vector<Component>& components, std::vector<Rect>* sides = nullptr);

// The components without the specks at either end of those sides (the darker pixels of a
// rounded corner, no larger than the corner), which, read as a line of their own, would pull
// the side between them into a character.
void RemoveFrameCorners(std::vector<Component>& components, const std::vector<Rect>& sides);

// The components without rules, judged against the typical character height.
void RemoveRules(std::vector<Component>& components, int typicalHeight);

}  // namespace morvik
