// The reading window's form without its widgets: the picture opened, the libraries it is read
// with, the reading with its boxes and text, the selected boxes with their candidates and
// pattern, teaching corrections into a user library and undoing them, and the zoom and pan of
// the picture view. A reading runs in three steps so that a window can run the middle one off
// its thread: Request (here), Run (anywhere), Apply (here).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/pattern.h"
#include "morvik/error.h"
#include "morvik/reading.h"
#include "morvik/teaching.h"

namespace morvik {

// Everything a reading needs, copied, so that it can run on another thread.
struct ReadRequest {
  std::string Bytes;                   // the picture file's
  std::string Name;                    // its path, for messages
  std::vector<std::string> Libraries;  // the chosen sets or library files; none: the stock
  std::string UserLibrary;             // read first when its file exists; "" for none
  ReadSettings Settings;
};

struct ReadOutcome {
  std::optional<Reading> Result;
  std::shared_ptr<const TeachingPicture> Picture;
  std::optional<Error> Problem;  // why there is no result
  bool Cancelled = false;
};

// Reads the request's picture; progress (may be empty) is told each line and stops the
// reading when it returns false. Never throws: problems come back in the outcome.
ReadOutcome RunReading(const ReadRequest& request,
                       const std::function<bool(int done, int lines)>& progress = {});

// A character of the reading: its line and place in the line's Chars.
struct CharPlace {
  int Line = 0, Index = 0;
};
inline bool operator==(const CharPlace& a, const CharPlace& b) {
  return a.Line == b.Line && a.Index == b.Index;
}

// How the picture is shown: Zoom view pixels a picture pixel, the picture's (0, 0) at
// (-PanX, -PanY) of the view.
struct ViewTransform {
  double Zoom = 1;
  double PanX = 0, PanY = 0;
};
constexpr double kMinZoom = 0.05, kMaxZoom = 32;

class PictureForm {
 public:
  // --- The picture and what it is read with ---
  // Reads the picture file's bytes (the reading and teaching use these, whatever becomes of
  // the file). Throws Error naming the file. Empties the reading and the selection.
  void OpenPicture(const std::string& path);
  const std::string& PictureName() const { return name_; }
  const std::string& PictureBytes() const { return bytes_; }
  bool HasPicture() const { return !bytes_.empty(); }

  std::vector<std::string> Libraries;  // none: the stock library
  std::string UserLibrary;             // NAME.sets corrections are taught into; "" none chosen
  ReadSettings Settings;

  // --- Reading ---
  // What RunReading needs; throws Error kUsage without a picture.
  ReadRequest Request() const;
  // Takes an outcome: a result replaces the reading and the selection is kept where its
  // boxes still are; returns the problem ("" for none, also for a cancelled reading).
  std::string Apply(ReadOutcome outcome);
  // Request, RunReading and Apply on this thread; throws the reading's Error (kFailed when
  // cancelled).
  void Read();
  const std::optional<Reading>& Current() const { return reading_; }

  // --- Selection ---
  // The character at a picture point (the box containing it), if any.
  std::optional<CharPlace> CharAt(double x, double y) const;
  // The character shown at a column of a line of the text, if any.
  std::optional<CharPlace> CharAtText(int line, int column) const;
  // The column at which a character stands in its line's text.
  int TextColumn(const CharPlace& place) const;
  // Selects one character; extend adds the run from the first selected one to it, within a
  // line. Blank cells are not selected. False when nothing was selected.
  bool Select(const CharPlace& place, bool extend = false);
  void ClearSelection() { selection_.clear(); }
  const std::vector<CharPlace>& Selection() const { return selection_; }
  const ReadChar& Char(const CharPlace& place) const;
  // The selected characters' text as read, "" without a selection.
  std::string SelectedText() const;
  // The first selected character's pattern as a taught reference would hold it.
  TPattern SelectedPattern() const;

  // --- Teaching ---
  // Teaches the selected characters as the characters of text (blanks ignored, one a box)
  // into UserLibrary. Throws Error kUsage without a selection, a user library, or with a
  // count that differs; as Teach otherwise. The picture is then to be read again.
  void Teach(const std::string& text);
  bool CanUndo() const { return !taught_.empty(); }
  // Undoes the last teaching; throws as UndoTeaching (the teaching stays undoable).
  void Undo();
  const std::vector<Teaching>& Taught() const { return taught_; }

  // --- Zoom and pan ---
  ViewTransform View;
  // Zooms by factor (held in kMinZoom..kMaxZoom) keeping the picture point under view point
  // (x, y) where it is.
  void ZoomAt(double factor, double x, double y);
  // The zoom at which the picture fits a view of width x height, and no pan.
  void Fit(int width, int height, int pictureWidth, int pictureHeight);
  void PanBy(double dx, double dy);
  // A picture box in view coordinates: left, top, width, height.
  std::array<double, 4> ViewBox(const PictureBox& box) const;
  // A view point in picture coordinates.
  std::pair<double, double> PicturePoint(double x, double y) const;

 private:
  std::string name_, bytes_;
  std::optional<Reading> reading_;
  std::shared_ptr<const TeachingPicture> picture_;
  std::vector<CharPlace> selection_;
  std::vector<Teaching> taught_;
};

}  // namespace morvik
