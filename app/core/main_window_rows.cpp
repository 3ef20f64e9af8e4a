#include "main_window_rows.h"

#include <cstdio>

namespace qelo::app {

namespace {

struct FilterPair {
  const char* description;
  const char* pattern;
};

constexpr FilterPair kMediaFileFilter[] = {
    {"All File(*.*)", "*.*"},
    {"Window Media Video(*.wmv)", "*.wmv"},
    {"Advanced System File Format(*.asf)", "*.asf"},
    {"Real Video(*.rm, *.rmvb)", "*.rm; *.rmvb"},
    {"3GP File(*.3gp, *.3g2)", "*.3gp; *.3g2"},
    {"Audio Video Interlace File(*.avi)", "*.avi"},
    {"MPG Video File(*.mpg, *.mpeg, *.m2v, *.mpa)", "*.mpg; *.mpeg; *.m2v; *.mpa"},
    {"DVD Video File(*.vob)", "*.vob"},
    {"(S)VCD Video File(*.dat)", "*.dat"},
    {"MPEG-4 File(*.mp4)", "*.mp4"},
    {"Quick Time video(*.mov,*.qt)", "*.mov; *.qt"},
    {"iTunes Video Format(*.m4v)", "*.m4v"},
    {"Video Transport Stream File(*.ts, *.t2)", "*.ts; *.t2"},
    {"Matroska video(*.mkv)", "*.mkv"},
    {"Digital Video(*.dv, *.dif)", "*.dv; *.dif"},
    {"Microsoft Digital Video Recording(*.dvr)", "*.dvr"},
    {"WMV HD Video(*.xwmv)", "*.xwmv"},
    {"MPV Video(*.mpv)", "*.mpv"},
    {"Gif\\Tiff File(*.gif, *.tif, *.tiff)", "*.gif; *.tif; *.tiff"},
    {"Nullsoft Stream Video(*.nsv)", "*.nsv"},
    {"SUN AU Format(*.au)", "*.au"},
    {"MJPEG Video Format(*.mjpg, *.mjpeg)", "*.mjpg; *.mjpeg"},
    {"NUT Video(*.nut)", "*.nut"},
    {"Raw Video File(*.h261, *.h264)", "*.h261; *.h264"},
    {"YUV Video File(*.YUV)", "*.YUV"},
};

bool IsRow(const std::vector<uint32_t>& rows, int index) {
  return index >= 0 && index < static_cast<int>(rows.size());
}

uint32_t KindAt(const std::vector<uint32_t>& rows, int index) { return RowKindOf(rows[static_cast<size_t>(index)]); }

bool SameJob(const std::vector<uint32_t>& rows, int a, int b) {
  return IsRow(rows, a) && IsRow(rows, b) &&
         RowGroupId(rows[static_cast<size_t>(a)]) == RowGroupId(rows[static_cast<size_t>(b)]);
}

bool IsFileOfSameJob(const std::vector<uint32_t>& rows, int index, int neighbour) {
  return SameJob(rows, index, neighbour) && KindAt(rows, neighbour) == rkMergedFile;
}

}  // namespace

std::string SecondsToTimeText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return text;
}

std::string MediaFileFilter() {
  std::string filter;
  for (const FilterPair& pair : kMediaFileFilter) {
    if (!filter.empty()) filter += '|';
    filter += pair.description;
    filter += '|';
    filter += pair.pattern;
  }
  return filter;
}

RowBlock JobRowsAt(const std::vector<uint32_t>& rows, int index) {
  if (!IsRow(rows, index)) return {index, index - 1};
  RowBlock block{index, index};
  if (KindAt(rows, index) == rkSingleJob) return block;
  while (KindAt(rows, block.first) == rkMergedFile && IsFileOfSameJob(rows, block.first, block.first - 1))
    --block.first;
  if (KindAt(rows, block.first) == rkMergedFile && SameJob(rows, block.first, block.first - 1) &&
      KindAt(rows, block.first - 1) == rkMergedHeader)
    --block.first;
  while (IsFileOfSameJob(rows, block.last, block.last + 1)) ++block.last;
  return block;
}

MoveChoice MoveChoiceOfRow(const std::vector<uint32_t>& rows, int index) {
  if (!IsRow(rows, index)) return {false, false};
  const int lastRow = static_cast<int>(rows.size()) - 1;
  switch (KindAt(rows, index)) {
    case rkSingleJob:
      return {index > 0, index < lastRow};
    case rkMergedHeader:
      return {index > 0, JobRowsAt(rows, index).last < lastRow};
    case rkMergedFile:
      return {IsFileOfSameJob(rows, index, index - 1), IsFileOfSameJob(rows, index, index + 1)};
    default:
      return {false, false};
  }
}

}  // namespace qelo::app
