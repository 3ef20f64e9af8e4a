// The display without a screen: windows live only in their surfaces, which
// ComposeWindow turns into pictures.
#include <atomic>

#include "window/internal.h"

namespace qelo::win {
namespace {

std::atomic<int32_t> g_width{1280};
std::atomic<int32_t> g_height{1024};

class HeadlessDisplay final : public DisplayBackend {
 public:
  const char* Name() const override { return "headless"; }
  SIZE ScreenSize() const override { return SIZE{g_width, g_height}; }
  void TopLevelChanged(HWND) override {}
  void TopLevelGone(HWND) override {}
  void Painted(HWND) override {}
  void CursorChanged(const std::string&) override {}
  void Shutdown() override {}
};

}  // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessDisplay(SIZE screen) {
  g_width = screen.cx;
  g_height = screen.cy;
  return std::make_unique<HeadlessDisplay>();
}

void SetHeadlessScreenSize(SIZE screen) {
  g_width = screen.cx;
  g_height = screen.cy;
}

}  // namespace qelo::win
