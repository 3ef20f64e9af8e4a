// The engine's flat entry points.
#include "convertor_log.h"
#include "effect_band_pool.h"
#include "frame_compositing.h"
#include "gdiplus/startup.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "work_group_table.h"

namespace qelo::convertor {

namespace {
int gCodecStart = 0;  // what QeloInitializeCodecs answered
uintptr_t gDrawingToken = 0;
}  // namespace

}  // namespace qelo::convertor

using namespace qelo::convertor;

int InitializeVideoConvertor(LogCallback log) {
  Table();
  gLog.SetCallback(log);
  gCodecStart = QeloInitializeCodecs(log);
  if (gCodecStart == 0) return 0;
  StartEngineBandPool();
  if (gDrawingToken != 0) return 1;
  return qelo::gdiplus::Startup(&gDrawingToken) == qelo::gdiplus::Status::Ok ? 1 : 0;
}

void DeInitializeVideoConvertor() {
  Table();
  QeloDeInitializeCodecs(gCodecStart);
  StopEngineBandPool();
}

void RegisterCallBackPorcess(ConvertCallback callback, void* userData) { Table().Register(callback, userData); }

int32_t QeloCreateWorkGroup(const WorkGroup* group) { return Table().Create(group); }

void QeloClearWorkGroup() { Table().Clear(); }

QeloThreadHandle QeloRunWorkGroup() { return Table().Run(); }

void QeloStopWorkGroup() {
  Table().Clear();
  FreeTable();
}

int QeloCompositeFrame(const SourceEntry* source, VideoFrame* frame) {
  if (!source || !frame) return 0;
  // A crop frame and picture cache of its own: the preview's settings change
  // between frames, and the picture cache keeps the alpha it was made with.
  OwnedFrame cropFrame;
  WatermarkImageCache imageCache;
  CompositeFrame(*source, frame, &cropFrame, &imageCache, nullptr);
  return 1;
}
