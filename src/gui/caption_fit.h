// Captions that fit the widths the layout gives their controls: where a font's caption would
// be clipped, the control's font is made smaller until it fits; positions and sizes stay.
#pragma once

#include <QFont>
#include <QString>

class QAbstractButton;

namespace morvik::gui {

// The smallest font a fitted text gets, in pixels: below it a caption would not be read.
constexpr int kSmallestFontPixels = 7;

// font itself when text is at most `width` pixels wide; else a copy made a pixel smaller at
// a time until it is (or until kSmallestFontPixels).
QFont FittedFont(const QFont& font, const QString& text, int width);

// The pixels a button's, check box's or radio button's caption may take without touching its
// frame or running past its right edge, under the control's style and size.
int CaptionRoom(const QAbstractButton& button);

// Gives the control the fitted font of its caption (see FittedFont and CaptionRoom).
void FitCaption(QAbstractButton& button);

}  // namespace morvik::gui
