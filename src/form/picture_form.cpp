#include "form/picture_form.h"

#include <algorithm>

#include "core/error.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "fonts/utf8.h"
#include "image/picture_limits.h"
#include "morvik/library.h"

namespace morvik {

namespace {

Library Opened(const ReadRequest& request) {
  std::vector<Library> parts;
  if (!request.UserLibrary.empty() && FileExists(request.UserLibrary))
    parts.push_back(Library::Open(request.UserLibrary));
  parts.push_back(request.Libraries.empty() ? Library::Stock() : Library::Open(request.Libraries));
  return parts.size() == 1 ? parts.front() : JoinLibraries(parts);
}

bool Contains(const PictureBox& b, double x, double y) {
  return x >= b.Left && y >= b.Top && x < b.Left + b.Width && y < b.Top + b.Height;
}

bool SameBox(const PictureBox& a, const PictureBox& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

}  // namespace

ReadOutcome RunReading(const ReadRequest& request,
                       const std::function<bool(int done, int lines)>& progress) {
  ReadOutcome outcome;
  bool stopped = false;
  ReadSettings settings = request.Settings;
  settings.Progress = [&](int done, int lines) {
    stopped = progress && !progress(done, lines);
    return !stopped;
  };
  try {
    const Library library = Opened(request);
    Reading r =
        ReadMemory(request.Bytes.data(), request.Bytes.size(), library, settings, request.Name);
    outcome.Picture = std::make_shared<const TeachingPicture>(
        request.Bytes.data(), request.Bytes.size(), r, request.Name);
    outcome.Result = std::move(r);
  } catch (const Error& e) {
    outcome.Cancelled = stopped;
    outcome.Problem = e;
  } catch (const std::exception& e) {  // no memory, or a fault: the window goes on
    outcome.Problem = Error(e.what(), ErrorKind::kFailed);
  }
  return outcome;
}

void PictureForm::OpenPicture(const std::string& path) {
  std::string bytes = ReadRegularFile(path, static_cast<std::size_t>(kMaxPictureFileBytes));
  if (bytes.empty()) throw FileError(path, "the file is empty", ErrorKind::kBadData);
  bytes_ = std::move(bytes);
  name_ = path;
  reading_.reset();
  picture_.reset();
  selection_.clear();
}

ReadRequest PictureForm::Request() const {
  if (!HasPicture()) throw Error("no picture to read", ErrorKind::kUsage);
  return {bytes_, name_, Libraries, UserLibrary, Settings};
}

std::string PictureForm::Apply(ReadOutcome outcome) {
  if (!outcome.Result) return outcome.Cancelled || !outcome.Problem ? "" : outcome.Problem->what();
  std::vector<PictureBox> kept;
  for (const CharPlace& p : selection_) kept.push_back(Char(p).Box);
  reading_ = std::move(outcome.Result);
  picture_ = std::move(outcome.Picture);
  selection_.clear();
  for (std::size_t l = 0; l < reading_->Lines.size(); ++l) {
    const std::vector<ReadChar>& chars = reading_->Lines[l].Chars;
    for (std::size_t i = 0; i < chars.size(); ++i)
      for (const PictureBox& box : kept)
        if (SameBox(chars[i].Box, box))
          selection_.push_back({static_cast<int>(l), static_cast<int>(i)});
  }
  return "";
}

void PictureForm::Read() {
  ReadOutcome outcome = RunReading(Request());
  const std::optional<Error> problem = outcome.Problem;
  Apply(std::move(outcome));
  if (problem) throw *problem;
}

std::optional<CharPlace> PictureForm::CharAt(double x, double y) const {
  if (!reading_) return std::nullopt;
  for (std::size_t l = 0; l < reading_->Lines.size(); ++l) {
    const std::vector<ReadChar>& chars = reading_->Lines[l].Chars;
    for (std::size_t i = 0; i < chars.size(); ++i)
      if (!chars[i].Blank && Contains(chars[i].Box, x, y))
        return CharPlace{static_cast<int>(l), static_cast<int>(i)};
  }
  return std::nullopt;
}

int PictureForm::TextColumn(const CharPlace& place) const {
  const std::vector<ReadChar>& chars =
      reading_->Lines.at(static_cast<std::size_t>(place.Line)).Chars;
  int column = 0;
  for (int i = 0; i <= place.Index; ++i) {
    if (i > 0 && chars[static_cast<std::size_t>(i)].SpaceBefore) ++column;
    if (i < place.Index) ++column;
  }
  return column;
}

std::optional<CharPlace> PictureForm::CharAtText(int line, int column) const {
  if (!reading_ || line < 0 || line >= static_cast<int>(reading_->Lines.size()))
    return std::nullopt;
  const int count = static_cast<int>(reading_->Lines[static_cast<std::size_t>(line)].Chars.size());
  for (int i = 0; i < count; ++i)
    if (TextColumn({line, i}) == column) return CharPlace{line, i};
  return std::nullopt;
}

const ReadChar& PictureForm::Char(const CharPlace& place) const {
  return reading_->Lines.at(static_cast<std::size_t>(place.Line))
      .Chars.at(static_cast<std::size_t>(place.Index));
}

bool PictureForm::Select(const CharPlace& place, bool extend) {
  if (!reading_ || place.Line < 0 || place.Index < 0 ||
      place.Line >= static_cast<int>(reading_->Lines.size()) ||
      place.Index >=
          static_cast<int>(reading_->Lines[static_cast<std::size_t>(place.Line)].Chars.size()) ||
      Char(place).Blank)
    return false;
  if (!extend || selection_.empty() || selection_.front().Line != place.Line) {
    selection_ = {place};
    return true;
  }
  const CharPlace first = selection_.front();
  selection_.clear();
  const int step = place.Index >= first.Index ? 1 : -1;
  for (int i = first.Index;; i += step) {
    if (!Char({place.Line, i}).Blank) selection_.push_back({place.Line, i});
    if (i == place.Index) break;
  }
  if (step < 0) std::reverse(selection_.begin(), selection_.end());
  return true;
}

std::string PictureForm::SelectedText() const {
  std::string text;
  for (const CharPlace& p : selection_) text += Char(p).Text;
  return text;
}

TPattern PictureForm::SelectedPattern() const {
  TPattern pattern;
  if (selection_.empty() || !picture_) return pattern;
  const CellPattern cells = picture_->PatternOf(Char(selection_.front()).Box);
  for (std::size_t k = 0; k < pattern.Cells.size(); ++k)
    pattern.Cells[k] = {static_cast<std::uint8_t>(cells.Marked[k] ? 1 : 0), cells.Level[k]};
  pattern.MaxLevel = ComputeMaxLevel(pattern);
  return pattern;
}

void PictureForm::Teach(const std::string& text) {
  if (selection_.empty() || !picture_)
    throw Error("select the characters to correct first", ErrorKind::kUsage);
  if (UserLibrary.empty()) throw Error("choose the user set to teach first", ErrorKind::kUsage);
  std::u32string named;
  for (const char32_t c : DecodeUtf8(text))
    if (c != U' ' && c != U'\t') named += c;
  if (named.size() != selection_.size())
    throw Error(std::to_string(selection_.size()) + " characters are selected, but " +
                    std::to_string(named.size()) + " typed",
                ErrorKind::kUsage);
  std::vector<Correction> corrections;
  for (std::size_t k = 0; k < named.size(); ++k)
    corrections.push_back({Char(selection_[k]).Box, EncodeUtf8(named.substr(k, 1))});
  taught_.push_back(morvik::Teach(*picture_, corrections, UserLibrary, Settings.Sampling));
}

void PictureForm::Undo() {
  if (taught_.empty()) throw Error("nothing to undo", ErrorKind::kUsage);
  UndoTeaching(taught_.back());
  taught_.pop_back();
}

void PictureForm::ZoomAt(double factor, double x, double y) {
  const auto [px, py] = PicturePoint(x, y);
  View.Zoom = std::clamp(View.Zoom * factor, kMinZoom, kMaxZoom);
  View.PanX = px * View.Zoom - x;
  View.PanY = py * View.Zoom - y;
}

void PictureForm::Fit(int width, int height, int pictureWidth, int pictureHeight) {
  if (pictureWidth < 1 || pictureHeight < 1) return;
  const double zoom = std::min(static_cast<double>(width) / pictureWidth,
                               static_cast<double>(height) / pictureHeight);
  View = {std::clamp(zoom, kMinZoom, kMaxZoom), 0, 0};
}

void PictureForm::PanBy(double dx, double dy) {
  View.PanX -= dx;
  View.PanY -= dy;
}

std::array<double, 4> PictureForm::ViewBox(const PictureBox& box) const {
  return {box.Left * View.Zoom - View.PanX, box.Top * View.Zoom - View.PanY, box.Width * View.Zoom,
          box.Height * View.Zoom};
}

std::pair<double, double> PictureForm::PicturePoint(double x, double y) const {
  return {(x + View.PanX) / View.Zoom, (y + View.PanY) / View.Zoom};
}

}  // namespace morvik
