#include "gui/spin_edit.h"

#include <QLineEdit>

#include "core/whole_number.h"

namespace morvik::gui {

namespace {

bool ParseText(const QString& text, long& value) {
  return ParseWholeNumber(text.toStdString(), value);
}

}  // namespace

SpinEdit::SpinEdit(int minimum, int maximum, int value, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  lineEdit()->setText(QString::number(value));
  connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::textChanged);
}

int SpinEdit::Clamp(int value) const {
  return value < minimum_ ? minimum_ : value > maximum_ ? maximum_ : value;
}

int SpinEdit::value() const {
  long v = 0;
  if (!ParseText(lineEdit()->text(), v) || v < -2147483647L) return minimum_;
  return static_cast<int>(v);
}

void SpinEdit::setValue(int value) {
  setText(QString::number(Clamp(value)));
}

void SpinEdit::setText(const QString& text) {
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

QValidator::State SpinEdit::validate(QString&, int&) const {
  return QValidator::Acceptable;
}

void SpinEdit::fixup(QString&) const {}

void SpinEdit::stepBy(int steps) {
  setValue(value() + steps);
  selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

// Leaving the field brings a number typed outside the range back into it; a text that is
// no number stays.
void SpinEdit::focusOutEvent(QFocusEvent* event) {
  long v = 0;
  if (ParseText(lineEdit()->text(), v) && (v < minimum_ || v > maximum_)) setValue(value());
  QAbstractSpinBox::focusOutEvent(event);
}

}  // namespace morvik::gui
