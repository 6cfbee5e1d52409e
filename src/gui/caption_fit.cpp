#include "gui/caption_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace morvik::gui {

namespace {

// Air between a push button's caption and its frame on either side.
constexpr int kButtonCaptionAir = 2;

}  // namespace

QFont FittedFont(const QFont& font, const QString& text, int width) {
  if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
  QFont fitted = font;
  int pixels = QFontInfo(font).pixelSize();
  while (pixels > kSmallestFontPixels) {
    fitted.setPixelSize(--pixels);
    if (QFontMetrics(fitted).horizontalAdvance(text) <= width) break;
  }
  return fitted;
}

int CaptionRoom(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.rect = button.rect();
  option.text = button.text();
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  int air = kButtonCaptionAir;
  if (qobject_cast<const QCheckBox*>(&button)) {
    contents = QStyle::SE_CheckBoxContents;
    air = 0;
  } else if (qobject_cast<const QRadioButton*>(&button)) {
    contents = QStyle::SE_RadioButtonContents;
    air = 0;
  } else if (const auto* push = qobject_cast<const QPushButton*>(&button);
             push && (push->autoDefault() || push->isDefault())) {
    option.features |= QStyleOptionButton::AutoDefaultButton;
  }
  const QRect room = button.style()->subElementRect(contents, &option, &button);
  return room.width() - 2 * air;
}

void FitCaption(QAbstractButton& button) {
  const QFont fitted = FittedFont(button.font(), button.text(), CaptionRoom(button));
  if (fitted != button.font()) button.setFont(fitted);
}

}  // namespace morvik::gui
