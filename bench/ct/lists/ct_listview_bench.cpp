// Speed of the framed list view in report view with 5 columns and 10,000
// rows on an 800 x 600 form (headless): one full paint, a scroll by a page
// (with the paint it causes) and a resort by a column.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "ct_listvw.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/window/scrollbars.h"

namespace {

using namespace qelo;
using namespace qelo::vcl;

constexpr int kRows = 10000;

// The form and its list, made once for all the runs.
struct Sheet {
  TForm* form = nullptr;
  ct::TCtListView* list = nullptr;

  Sheet() {
    setenv("QELO_HEADLESS", "1", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    Application()->Initialize();
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 800, 600);
    list = new ct::TCtListView(form);
    list->SetAlign(alClient);
    list->SetViewStyle(vsReport);
    list->SetRowSelect(true);
    for (const char* caption : {"Source File", "Original Length", "Output Length", "Output Format", "Destination"}) {
      TListColumn* column = list->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(150);
    }
    list->Items()->BeginUpdate();
    for (int i = 0; i < kRows; ++i) {
      TListItem* item = list->Items()->Add();
      item->SetCaption("clip " + std::to_string((i * 7919) % kRows) + ".avi");
      item->SubItems()->Add("00:0" + std::to_string(i % 10) + ":" + std::to_string(10 + i % 50));
      item->SubItems()->Add("00:01:" + std::to_string(10 + i % 50));
      item->SubItems()->Add(i % 3 ? "MP4 Video" : "AVI Video");
      item->SubItems()->Add("/home/user/Videos/out " + std::to_string(i) + ".mp4");
    }
    list->Items()->EndUpdate();
    list->SetParent(form);
    form->Show();
    script::Pump();
  }
};

Sheet& TheSheet() {
  static Sheet sheet;
  return sheet;
}

void BM_FullPaint(benchmark::State& state) {
  Sheet& s = TheSheet();
  for (auto _ : state) s.list->Repaint();
}
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond);

// Page down, then page up again, each painted: one page a run.
void BM_ScrollByAPage(benchmark::State& state) {
  Sheet& s = TheSheet();
  const win::HWND window = s.list->Handle();
  bool down = true;
  for (auto _ : state) {
    win::SendMessage(window, win::WM_VSCROLL, down ? win::SB_PAGEDOWN : win::SB_PAGEUP, 0);
    win::UpdateWindow(window);
    down = !down;
  }
}
BENCHMARK(BM_ScrollByAPage)->Unit(benchmark::kMillisecond);

// Alternately ascending and descending by the second column's text.
void BM_ResortByColumn(benchmark::State& state) {
  Sheet& s = TheSheet();
  bool descending = false;
  for (auto _ : state) {
    s.list->CustomSort(descending ? +[](TListItem* a, TListItem* b, intptr_t c) {
      return ct::CompareListItemsDescending(a, b, static_cast<int>(c));
    } : +[](TListItem* a, TListItem* b, intptr_t c) {
      return ct::CompareListItemsAscending(a, b, static_cast<int>(c));
    }, 1);
    descending = !descending;
  }
}
BENCHMARK(BM_ResortByColumn)->Unit(benchmark::kMillisecond);

}  // namespace
