// DrawText: prefix marks, line and word breaking, ellipses, alignment and
// measuring.
#include <algorithm>

#include "gdi/text.h"

namespace qelo::win {
namespace {

constexpr std::string_view kEllipsis = "...";

// The text with its prefix marks taken out, and the byte offset of the
// character to underline (-1: none).
struct Prepared {
  std::string text;
  int underline = -1;
};

Prepared StripPrefixes(std::string_view text, unsigned format) {
  Prepared out;
  if (format & DT_NOPREFIX) {
    out.text = text;
    return out;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.text += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;  // a trailing mark shows nothing
    if (text[i + 1] == '&') {
      out.text += '&';
      ++i;
    } else if (out.underline < 0 && !(format & DT_HIDEPREFIX)) {
      out.underline = static_cast<int>(out.text.size());
    }
  }
  return out;
}

size_t NextChar(std::string_view s, size_t i) {
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// A line as a byte range of the prepared text, and what is shown of it.
struct Line {
  size_t start;
  size_t end;
  std::string shown;
  size_t keptBytes;  // bytes of the original still shown before any ellipsis
  int width = 0;     // of what is shown
};

class Formatter {
 public:
  Formatter(const FontObject& font, unsigned format, int width)
      : font_(font), format_(format), width_(width) {
    if (format & DT_EXPANDTABS) style_.tabWidth = 8 * font.metrics.tmAveCharWidth;
    style_.rtl = (format & DT_RTLREADING) != 0;
  }

  const TextStyle& Style() const { return style_; }
  int Width(std::string_view s) const { return TextWidth(font_, s, style_); }

  std::vector<Line> Lines(const std::string& text) const {
    std::vector<Line> lines;
    if (format_ & DT_SINGLELINE) {
      Paragraph(text, 0, text.size(), lines);
      return lines;
    }
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) end = text.size();
      Paragraph(text, start, end, lines);
      if (end == text.size()) break;
      start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
      if (start == text.size()) break;
    }
    return lines;
  }

 private:
  void Paragraph(const std::string& text, size_t start, size_t end, std::vector<Line>& lines) const {
    if (!(format_ & DT_WORDBREAK) || (format_ & DT_SINGLELINE)) {
      Add(text, start, end, lines);
      return;
    }
    // Greedy breaking at spaces; a word wider than the line stays whole,
    // or with DT_EDITCONTROL is broken where the line ends.
    size_t lineStart = start;
    size_t lineEnd = start;
    size_t i = start;
    while (i < end) {
      size_t wordEnd = text.find(' ', i);
      if (wordEnd == std::string::npos || wordEnd > end) wordEnd = end;
      const std::string_view candidate(text.data() + lineStart, wordEnd - lineStart);
      if (lineEnd > lineStart && Width(candidate) > width_) {
        Add(text, lineStart, lineEnd, lines);
        lineStart = i;
      }
      if ((format_ & DT_EDITCONTROL) && lineStart == i) lineStart = BreakLongWord(text, i, wordEnd, lines);
      lineEnd = wordEnd;
      i = wordEnd;
      while (i < end && text[i] == ' ') ++i;
    }
    Add(text, lineStart, lineEnd, lines);
  }

  // Adds lines of the word [start, end) as long as what is left of it is
  // wider than the line, each at least one character; where the rest starts.
  size_t BreakLongWord(const std::string& text, size_t start, size_t end, std::vector<Line>& lines) const {
    while (Width(std::string_view(text.data() + start, end - start)) > width_) {
      size_t cut = NextChar(text, start);
      for (size_t next = NextChar(text, cut); next < end; next = NextChar(text, next)) {
        if (Width(std::string_view(text.data() + start, next - start)) > width_) break;
        cut = next;
      }
      if (cut >= end) break;
      Add(text, start, cut, lines);
      start = cut;
    }
    return start;
  }

  void Add(const std::string& text, size_t start, size_t end, std::vector<Line>& lines) const {
    std::string shown = text.substr(start, end - start);
    if (format_ & DT_SINGLELINE) {
      std::erase_if(shown, [](char c) { return c == '\r' || c == '\n'; });
    }
    if (!(format_ & DT_EXPANDTABS)) std::replace(shown.begin(), shown.end(), '\t', ' ');
    Line line{start, end, shown, shown.size(), Width(shown)};
    if ((format_ & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) && line.width > width_) {
      (format_ & DT_PATH_ELLIPSIS) ? PathEllipsis(line) : EndEllipsis(line, "");
      line.width = Width(line.shown);
    }
    lines.push_back(std::move(line));
  }

  // Keeps the longest start of the line that fits with "..." (and `tail`)
  // after it.
  void EndEllipsis(Line& line, std::string_view tail) const {
    const std::string text = line.shown.substr(0, line.shown.size() - tail.size());
    size_t kept = 0;
    for (size_t next = NextChar(text, 0); next <= text.size(); next = NextChar(text, next)) {
      const std::string trial = text.substr(0, next) + std::string(kEllipsis) + std::string(tail);
      if (Width(trial) > width_) break;
      kept = next;
      if (next == text.size()) break;
    }
    line.shown = text.substr(0, kept) + std::string(kEllipsis) + std::string(tail);
    line.keptBytes = kept;
  }

  // Keeps the last path element whole and shortens what comes before it;
  // a folder's trailing separator belongs to its last element.
  void PathEllipsis(Line& line) const {
    const size_t last = line.shown.size() > 1 ? line.shown.size() - 2 : 0;
    const size_t slash = line.shown.find_last_of("/\\", last);
    if (slash == std::string::npos || slash == 0) {
      EndEllipsis(line, "");
      return;
    }
    const std::string tail = line.shown.substr(slash);
    if (Width(std::string(kEllipsis) + tail) > width_) {
      line.shown = std::string(kEllipsis) + tail;
      EndEllipsis(line, "");
      line.keptBytes = 0;
      return;
    }
    EndEllipsis(line, tail);
  }

  const FontObject& font_;
  unsigned format_;
  int width_;
  TextStyle style_;
};

int AlignedLeft(const RECT& r, int width, unsigned format) {
  if (format & DT_CENTER) return r.left + (r.right - r.left - width) / 2;
  if (format & DT_RIGHT) return r.right - width;
  return r.left;
}

int FirstLineTop(const RECT& r, int lineHeight, unsigned format) {
  if (!(format & DT_SINGLELINE)) return r.top;
  if (format & DT_VCENTER) return r.top + (r.bottom - r.top - lineHeight) / 2;
  if (format & DT_BOTTOM) return r.bottom - lineHeight;
  return r.top;
}

}  // namespace

int DrawText(HDC handle, std::string_view text, RECT* r, unsigned format) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || r == nullptr) return 0;
  const FontObject& font = SelectedFont(*dc);
  const Prepared prepared = StripPrefixes(text, format);
  const Formatter formatter(font, format, r->right - r->left);
  const std::vector<Line> lines = prepared.text.empty() ? std::vector<Line>{} : formatter.Lines(prepared.text);
  const int lineHeight = font.metrics.tmHeight;
  const int total = static_cast<int>(lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);
    r->right = r->left + widest;
    r->bottom = r->top + total;
    return total;
  }
  const RECT limit = ToDevice(*dc, *r);
  int top = FirstLineTop(*r, lineHeight, format);
  const int firstTop = top;
  for (const Line& line : lines) {
    TextStyle style = formatter.Style();
    const size_t mark = static_cast<size_t>(prepared.underline);
    if (prepared.underline >= 0 && mark >= line.start && mark < line.start + line.keptBytes) {
      style.underlineStart = static_cast<int>(mark - line.start);
      style.underlineEnd = static_cast<int>(NextChar(line.shown, mark - line.start));
    }
    TextPlacement where;
    where.reference = ToDevice(*dc, AlignedLeft(*r, line.width, format), top);
    where.opaque = dc->state.bkMode == OPAQUE;
    where.limit = (format & DT_NOCLIP) ? nullptr : &limit;
    DrawTextLine(*dc, font, line.shown, where, style);
    top += lineHeight;
  }
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
    return firstTop - r->top + lineHeight;
  }
  return total;
}

}  // namespace qelo::win
