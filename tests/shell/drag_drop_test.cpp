// Drags between the program's windows: the target under the pointer hears
// enter, over, leave and drop; Escape and a second button cancel; a folder
// target moves or copies what is dropped on it without replacing anything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/drag_drop.h"
#include "shell/shell_data_object.h"
#include "shell/shell_folder.h"
#include "shell/volumes.h"
#include "shell_fixture.h"
#include "ui_script.h"
#include "win/window/display.h"

namespace qelo::shell {
namespace {

const bool kHeadless = [] {
  setenv("QELO_HEADLESS", "1", 0);
  return true;
}();

// Drops with the left button; a press of any other button cancels.
class LeftButtonSource final : public IDropSource {
 public:
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT QueryContinueDrag(win::BOOL escape, uint32_t keys) override {
    if (escape || (keys & (win::MK_RBUTTON | win::MK_MBUTTON))) return DRAGDROP_S_CANCEL;
    return (keys & win::MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT GiveFeedback(uint32_t effect) override {
    feedback.push_back(effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  std::vector<uint32_t> feedback;
};

class RecordingTarget final : public IDropTarget {
 public:
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT DragEnter(IDataObject* data, uint32_t, win::POINT, uint32_t* effect) override {
    calls.push_back("enter");
    sawItems = OffersItems(data);
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragOver(uint32_t, win::POINT p, uint32_t* effect) override {
    calls.push_back("over " + std::to_string(p.x));
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject*, uint32_t, win::POINT p, uint32_t* effect) override {
    calls.push_back("drop " + std::to_string(p.x));
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  std::vector<std::string> calls;
  bool sawItems = false;
  ULONG refs = 1;
};

class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kHeadless;
    static const bool registered = [] {
      win::WNDCLASS c;
      c.lpfnWndProc = win::DefWindowProc;
      c.lpszClassName = "ShellDragTest";
      return win::RegisterClass(c) != 0;
    }();
    ASSERT_TRUE(registered);
    source = Window(0);
    target = Window(200);
    SetVolumeSourceForTesting([] { return std::vector<Volume>{}; });
    test::MakeDir(home.Path("from"));
    test::MakeDir(home.Path("to"));
    test::WriteFile(home.Path("from/clip.mp4"), "dragged");
    IdListPtr folder = test::ParsePath(home.Path("from"));
    IdListPtr item = test::ChildItem(home.Path("from"), "clip.mp4");
    ASSERT_EQ(CreateShellDataObject(folder.Get(), {item.Get()}, 0, data.Put()), S_OK);
  }
  void TearDown() override {
    // Leave no button down for the next case (over a window, so the thread reads it).
    win::InjectMouseButton(win::MouseButton::Left, false, {10, 10});
    win::InjectMouseButton(win::MouseButton::Right, false, {10, 10});
    test::PumpMessages();
    RevokeDragDrop(target);
    win::DestroyWindow(source);
    win::DestroyWindow(target);
    SetVolumeSourceForTesting({});
  }
  static win::HWND Window(int x) {
    return win::CreateWindowEx(0, "ShellDragTest", "", win::WS_POPUP | win::WS_VISIBLE, x, 0, 100, 100, nullptr,
                               nullptr);
  }
  // The drag begins with the left button down over the source, which has
  // the keyboard.
  void PressOverSource() {
    win::SetFocus(source);
    win::InjectMouseMove({50, 50});
    win::InjectMouseButton(win::MouseButton::Left, true, {50, 50});
    test::PumpMessages();
  }
  HRESULT Drag(std::vector<std::function<void()>> steps, uint32_t allowed, uint32_t* effect) {
    PressOverSource();
    test::TimedSteps timed(std::move(steps));
    return DoDragDrop(data.Get(), &dropSource, allowed, effect);
  }

  test::FakeHome home;
  win::HWND source = nullptr, target = nullptr;
  ComPtr<IDataObject> data;
  LeftButtonSource dropSource;
};

TEST_F(DragDrop, ReleasingOverATargetDrops) {
  RecordingTarget recorder;
  ASSERT_EQ(RegisterDragDrop(target, &recorder), S_OK);
  EXPECT_EQ(RegisterDragDrop(target, &recorder), DRAGDROP_E_ALREADYREGISTERED);
  uint32_t effect = 99;
  HRESULT hr = Drag({[] { win::InjectMouseMove({250, 50}); }, [] { win::InjectMouseMove({260, 55}); },
                     [] { win::InjectMouseButton(win::MouseButton::Left, false, {260, 55}); }},
                    DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  EXPECT_EQ(hr, DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"enter", "over 260", "drop 260"}));
  EXPECT_TRUE(recorder.sawItems);
  ASSERT_FALSE(dropSource.feedback.empty());
  EXPECT_EQ(dropSource.feedback.front(), DROPEFFECT_NONE);  // over the source window, no target
  EXPECT_EQ(dropSource.feedback.back(), DROPEFFECT_COPY);
  EXPECT_EQ(RevokeDragDrop(target), S_OK);
  EXPECT_EQ(RevokeDragDrop(target), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(recorder.refs, 1u);  // the registration's reference was given back
}

TEST_F(DragDrop, EscapeOrASecondButtonCancels) {
  RecordingTarget recorder;
  ASSERT_EQ(RegisterDragDrop(target, &recorder), S_OK);
  uint32_t effect = 99;
  HRESULT hr = Drag({[] { win::InjectMouseMove({250, 50}); },
                     [] {
                       win::InjectKey(win::VK_ESCAPE, true);
                       win::InjectKey(win::VK_ESCAPE, false);
                     }},
                    DROPEFFECT_COPY, &effect);
  EXPECT_EQ(hr, DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"enter", "leave"}));

  recorder.calls.clear();
  hr = Drag({[] { win::InjectMouseMove({250, 50}); },
             [] { win::InjectMouseButton(win::MouseButton::Right, true, {250, 50}); }},
            DROPEFFECT_COPY, &effect);
  EXPECT_EQ(hr, DRAGDROP_S_CANCEL);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"enter", "leave"}));
  RevokeDragDrop(target);
}

TEST_F(DragDrop, AFolderTargetMovesWithinAVolumeAndNeverReplaces) {
  test::WriteFile(home.Path("to/clip.mp4"), "already there");
  ComPtr<IShellFolder> folder = test::BindPath(home.Path("to"));
  ComPtr<IDropTarget> folderTarget;
  ASSERT_EQ(folder->CreateViewObject(nullptr, IID_IDropTarget, folderTarget.PutVoid()), S_OK);
  ASSERT_EQ(RegisterDragDrop(target, folderTarget.Get()), S_OK);
  uint32_t effect = 0;
  HRESULT hr = Drag({[] { win::InjectMouseMove({250, 50}); },
                     [] { win::InjectMouseButton(win::MouseButton::Left, false, {250, 50}); }},
                    DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
  EXPECT_EQ(hr, DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_FALSE(test::Exists(home.Path("from/clip.mp4")));
  EXPECT_EQ(test::ReadFile(home.Path("to/clip.mp4")), "already there");
  EXPECT_EQ(test::ReadFile(home.Path("to/clip (2).mp4")), "dragged");
}

TEST_F(DragDrop, AFolderTargetAnswersByKeysAndRefusesItself) {
  ComPtr<IShellFolder> from = test::BindPath(home.Path("from"));
  ComPtr<IDropTarget> folderTarget;
  ASSERT_EQ(from->CreateViewObject(nullptr, IID_IDropTarget, folderTarget.PutVoid()), S_OK);
  struct Case {
    uint32_t keys, allowed, expected;
  };
  ComPtr<IShellFolder> to = test::BindPath(home.Path("to"));
  ComPtr<IDropTarget> toTarget;
  ASSERT_EQ(to->CreateViewObject(nullptr, IID_IDropTarget, toTarget.PutVoid()), S_OK);
  const Case cases[] = {
      {0, 7, DROPEFFECT_MOVE},
      {win::MK_CONTROL, 7, DROPEFFECT_COPY},
      {win::MK_SHIFT, 7, DROPEFFECT_MOVE},
      {win::MK_CONTROL | win::MK_SHIFT, 7, DROPEFFECT_LINK},
      {0, DROPEFFECT_COPY, DROPEFFECT_COPY},
      {0, 0, DROPEFFECT_NONE},
  };
  for (const Case& c : cases) {
    uint32_t effect = c.allowed;
    ASSERT_EQ(toTarget->DragEnter(data.Get(), c.keys, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, c.expected) << c.keys << " " << c.allowed;
    toTarget->DragLeave();
  }
  // A folder dropped on itself is taken nowhere.
  IdListPtr home_ = test::ParsePath(home.path());
  IdListPtr fromItem = test::ChildItem(home.path(), "from");
  ComPtr<IDataObject> folderData;
  ASSERT_EQ(CreateShellDataObject(home_.Get(), {fromItem.Get()}, 0, folderData.Put()), S_OK);
  uint32_t effect = 7;
  folderTarget->DragEnter(folderData.Get(), 0, {0, 0}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
}

// A drop with the right button asks what to do; a plain drop within one
// volume moves without asking.
TEST_F(DragDrop, ARightButtonDropAsksWhetherToCopyOrMove) {
  ComPtr<IShellFolder> to = test::BindPath(home.Path("to"));
  ComPtr<IDropTarget> folderTarget;
  ASSERT_EQ(to->CreateViewObject(nullptr, IID_IDropTarget, folderTarget.PutVoid()), S_OK);
  auto key = [](const char* text) {
    return [text] {
      if (text) return win::InjectText(text);
      win::InjectKey(win::VK_ESCAPE, true);
      win::InjectKey(win::VK_ESCAPE, false);
    };
  };
  struct Case {
    const char* answer;  // null: Escape
    uint32_t keys;
    uint32_t effect;
    bool copied, moved;
  };
  const Case cases[] = {
      {"c", win::MK_RBUTTON, DROPEFFECT_COPY, true, false},
      {"m", win::MK_RBUTTON, DROPEFFECT_MOVE, false, true},
      {nullptr, win::MK_RBUTTON, DROPEFFECT_NONE, false, false},
      {nullptr, 0, DROPEFFECT_MOVE, false, true},  // no menu: the Escape reaches nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer ? c.answer : "escape");
    test::WriteFile(home.Path("from/clip.mp4"), "dragged");
    std::filesystem::remove(home.Path("to/clip.mp4"));
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    test::TimedSteps steps({key(c.answer)});
    ASSERT_EQ(folderTarget->Drop(data.Get(), c.keys, {250, 50}, &effect), S_OK);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(test::Exists(home.Path("to/clip.mp4")), c.copied || c.moved);
    EXPECT_EQ(test::Exists(home.Path("from/clip.mp4")), !c.moved);
    while (!steps.Done()) {
      win::MsgWaitForMultipleObjects(0, nullptr, 0, 10, win::QS_ALLINPUT);
      test::PumpMessages();
    }
  }
}

}  // namespace
}  // namespace qelo::shell
