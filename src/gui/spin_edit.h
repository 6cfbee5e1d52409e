// A spin edit that keeps its text as typed: any text can stand in it
// (a settings file may put "abc" there), a number outside the range counts as typed until the
// field loses the focus, and reading it gives the integer of the text or the lower bound.
#pragma once

#include <QAbstractSpinBox>
#include <QString>

namespace morvik::gui {

class SpinEdit : public QAbstractSpinBox {
  Q_OBJECT

 public:
  SpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setMaximum(int maximum) { maximum_ = maximum; }

  // The integer of the text (decimal, or 0x hex), or the minimum when it is none.
  int value() const;
  void setValue(int value);  // clamped into the range, as text
  void setText(const QString& text);

  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
  void stepBy(int steps) override;

 signals:
  void textChanged(const QString& text);

 protected:
  StepEnabled stepEnabled() const override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int Clamp(int value) const;

  int minimum_;
  int maximum_;
};

}  // namespace morvik::gui
