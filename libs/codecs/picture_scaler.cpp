#include "picture_scaler.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

extern "C" {
#include <libavutil/opt.h>
}

namespace qelo::codecs {
namespace {

// Below this many pixels read and written (two 640x360 pictures), starting
// the slice threads costs about what they save.
constexpr int64_t kThreadedPixels = 2 * 640 * 360;

void LeavePixels(void*, uint8_t*) {}

// A caller that lowered its own priority (a reader in the background, as
// the preview's decoder) wants its pictures at the least processor time,
// not the soonest: slices cost it about a third more processor time for the
// same bytes.
bool CallerInBackground() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  return errno == 0 && nice > 0;
}

}  // namespace

bool PictureScaler::Ensure(int fromWidth, int fromHeight, AVPixelFormat fromFormat, int toWidth,
                           int toHeight, AVPixelFormat toFormat) {
  const Conversion wanted{fromWidth, fromHeight, toWidth, toHeight, fromFormat, toFormat};
  if (context_ && made_ == wanted) return true;
  context_.reset(sws_alloc_context());
  if (!context_) return false;
  SwsContext* c = context_.get();
  const bool sliced = int64_t(fromWidth) * fromHeight + int64_t(toWidth) * toHeight >= kThreadedPixels &&
                      !CallerInBackground();
  av_opt_set_int(c, "srcw", fromWidth, 0);
  av_opt_set_int(c, "srch", fromHeight, 0);
  av_opt_set_int(c, "src_format", fromFormat, 0);
  av_opt_set_int(c, "dstw", toWidth, 0);
  av_opt_set_int(c, "dsth", toHeight, 0);
  av_opt_set_int(c, "dst_format", toFormat, 0);
  av_opt_set_int(c, "sws_flags", flags_, 0);
  av_opt_set_int(c, "threads", sliced ? 0 : 1, 0);  // 0: one per processor
  if (sws_init_context(c, nullptr, nullptr) < 0) {
    context_.reset();
    return false;
  }
  made_ = wanted;
  return true;
}

bool PictureScaler::Scale(const AVFrame* from, AVFrame* to) {
  return context_ && sws_scale_frame(context_.get(), to, from) >= 0;
}

void PictureScaler::Reset() { context_.reset(); }

FramePtr WrapPixels(const uint8_t* pixels, int stride, int width, int height, AVPixelFormat format) {
  FramePtr frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->buf[0] = av_buffer_create(const_cast<uint8_t*>(pixels), size_t(stride) * height, LeavePixels,
                                   nullptr, 0);
  if (!frame->buf[0]) return nullptr;
  frame->data[0] = const_cast<uint8_t*>(pixels);
  frame->linesize[0] = stride;
  frame->width = width;
  frame->height = height;
  frame->format = format;
  return frame;
}

}  // namespace qelo::codecs
