// A player window that the window system refuses to make: the creating
// export answers -1 promptly (it must not wait for a window that will never
// exist) and leaves no instance behind. The refusal comes from a class of
// the player's class name registered in its place, whose procedure turns the
// window down in one of the ways the window system allows.
#include <SDL2/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>

#include "player_fixture.h"

namespace qelo::test {
namespace {

constexpr const char* kPlayerClass = "Play Class";

enum class Refusal { AtNonClientCreate, AtCreate, DestroyedDuringCreate };

Refusal gRefusal = Refusal::AtCreate;

win::LRESULT RefusingProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  if (message == win::WM_NCCREATE && gRefusal == Refusal::AtNonClientCreate) return 0;
  if (message == win::WM_CREATE && gRefusal == Refusal::AtCreate) return -1;
  if (message == win::WM_CREATE && gRefusal == Refusal::DestroyedDuringCreate) {
    win::DestroyWindow(window);
    return 0;
  }
  return win::DefWindowProc(window, message, w, l);
}

// Puts the refusing class in the player's place for the case's length and
// gives the player's own class back afterwards (for the cases that follow
// in the same process).
class RefusedClass {
 public:
  RefusedClass() {
    hadOwn_ = win::GetClassInfo(kPlayerClass, &own_) != 0;
    win::UnregisterClass(kPlayerClass);
    win::WNDCLASS refusing;
    refusing.lpfnWndProc = RefusingProc;
    refusing.lpszClassName = kPlayerClass;
    win::RegisterClass(refusing);
  }
  ~RefusedClass() {
    win::UnregisterClass(kPlayerClass);
    if (hadOwn_) win::RegisterClass(own_);
  }

 private:
  win::WNDCLASS own_;
  bool hadOwn_ = false;
};

using FailedCreation = PlayerTest;

TEST_F(FailedCreation, AnswersMinusOneWithoutWaitingAndFreesTheSlot) {
  const struct {
    const char* name;
    Refusal refusal;
  } cases[] = {
      {"non-client creation refused", Refusal::AtNonClientCreate},
      {"creation refused", Refusal::AtCreate},
      {"window destroyed while being created", Refusal::DestroyedDuringCreate},
  };
  // One instance before the refusals: its slot stays, the failed ones take none.
  ASSERT_EQ(MakeInstance(), 0);
  RefusedClass refused;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gRefusal = c.refusal;
    win::HWND host = MakeHost();
    auto created = std::async(std::launch::async, [host] {
      const int index = QeloCreatePlayerInstance(host, 0);
      // SDL keeps per-thread data for this thread, which it did not start.
      SDL_TLSCleanup();
      return index;
    });
    if (created.wait_for(10s) != std::future_status::ready) {
      // The export hangs: the case cannot end cleanly, so the program does.
      std::fprintf(stderr, "%s: creation still waiting after 10 s\n", c.name);
      std::_Exit(1);
    }
    EXPECT_EQ(created.get(), -1);
    EXPECT_TRUE(Logged("failed to create sdl window..."));
    EXPECT_EQ(win::GetWindow(host, win::GW_CHILD), nullptr) << "no player window over the host";
    EXPECT_EQ(QeloPlay(1), 0) << "no instance took slot 1";
  }
  // The next instance (over no window, so not refused) takes the next free slot.
  EXPECT_EQ(QeloCreatePlayerInstance(nullptr, 0), 1);
}

}  // namespace
}  // namespace qelo::test
