// The custom controls on the real skin: the main window's picture with the
// image buttons and the seek bar at the places of the layout table, and the
// profile drop-down opened below its button. Kept as screenshots.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "layout.h"
#include "qelo_com_bobox.h"
#include "qelo_png_button.h"
#include "qelo_track_bar.h"
#include "vcl/controls/extctrls.h"

namespace qelo::controls::test {
namespace {

namespace layout = skin::main_window;

std::string SkinFile(const std::string& name) { return std::string(QELO_SKIN_DIR) + "/UI/Image/" + name; }
std::string SeekPicture(const std::string& name) { return std::string(QELO_SEEKBAR_DIR) + "/" + name + ".png"; }

std::vector<unsigned char> Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class SkinPreviewTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    form->SetBounds(0, 0, layout::kWidth, layout::kHeight);
    background = new vcl::TImage(form);
    background->SetParent(form);
    background->SetAlign(vcl::alClient);
    background->Picture()->LoadFromFile(SkinFile("main-free.png"));
    Pump();
  }
  TQeloPngButton* ImageButton(const char* name, const char* picture, const std::string& caption) {
    auto* button = new TQeloPngButton(form);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetParent(form);
    const skin::Box box = layout::Find(name);
    button->SetLeft(box.x);
    button->SetTop(box.y);
    button->SetFileNomal(SkinFile(std::string(picture) + "-normal.png"));
    button->SetFileOn(SkinFile(std::string(picture) + "-on.png"));
    button->SetBackgroundImage(background->Picture()->Png());
    button->SetShowImgX(layout::kFieldIconX);
    button->SetShowImgY(layout::kFieldIconY);
    button->SetTextX(layout::kFieldTextX);
    button->SetTextY(layout::kFieldTextY);
    return button;
  }
  TQeloTrackBar* SeekBar() {
    auto* bar = new TQeloTrackBar(form);
    bar->SetParent(form);
    const skin::Box box = layout::Find("tbPlayer");
    bar->SetBounds(box.x, box.y, box.w, box.h);
    bar->BitmapTrack()->LoadFromFile(SeekPicture("seektrack"));
    bar->BitmapBG()->LoadFromFile(SeekPicture("seekbg"));
    bar->BitmapStart()->LoadFromFile(SeekPicture("seekstart"));
    bar->BitmapEnd()->LoadFromFile(SeekPicture("seekend"));
    bar->BitmapClip()->LoadFromFile(SeekPicture("seekclip"));
    bar->BitmapClipBG()->LoadFromFile(SeekPicture("seekclipbg"));
    bar->SetSpaceTrack(skin::main_window::kSeekSpaceTrack);
    bar->SetSpaceBG(skin::main_window::kSeekSpaceBG);
    bar->SetSpaceStart(skin::main_window::kSeekSpaceStart);
    bar->SetClipSpace(skin::main_window::kSeekClipSpace);
    bar->SetClipHeight(skin::main_window::kSeekClipHeight);
    bar->SetColorBG(0xFFFFFF);
    bar->SetMax(95000);
    bar->SetEndPos(95000);
    return bar;
  }
  vcl::TImage* background = nullptr;
};

TEST_F(SkinPreviewTest, TheImageButtonsAndTheSeekBarSitOnTheMainWindowSkin) {
  ASSERT_EQ(background->Picture()->Width(), layout::kWidth);
  ASSERT_EQ(background->Picture()->Height(), layout::kHeight);
  const std::vector<unsigned char> icon = Bytes(std::string(QELO_SKIN_DIR) + "/Control/video.png");
  TQeloPngButton* profile = ImageButton("btnProfile", "main-selectformat", "MP4 Video (*.mp4)");
  vcl::TPngImage profileIcon;
  profileIcon.LoadFromMemory(icon.data(), icon.size());
  profile->SetShowImage(&profileIcon);
  profile->Font()->SetColor(0x33291F);
  TQeloPngButton* output = ImageButton("beOutpath", "main-selectoutpath", "/home/user/Documents/Clipshift/");
  output->Font()->SetColor(0x33291F);
  TQeloPngButton* menu = ImageButton("btnSnapMenu", "main-Down", "");
  TQeloTrackBar* seek = SeekBar();
  seek->SetCutVisible(false);
  seek->SetPosition(38000);
  Pump();
  for (TQeloPngButton* b : {profile, output, menu}) {
    const skin::Box box = layout::Find(b->Name().c_str());
    EXPECT_EQ(b->Width(), box.w) << b->Name();
    EXPECT_EQ(b->Height(), box.h) << b->Name();
  }
  // The corner of the profile button shows the card behind it, copied from
  // the skin.
  const skin::Box p = layout::Find("btnProfile");
  EXPECT_EQ(FormPixel(p.x, p.y), background->Picture()->Png()->ScanLine(p.y)[p.x] & 0xFFFFFFu);
  MoveTo(*profile, 100, 10);  // hot
  Screenshot(form->Handle(), "app-skin-main-window");

  // The drop-down opened below the profile button, as the main window opens it.
  auto* dropDown = new TQeloComBobox(nullptr);
  dropDown->SetBounds(0, 0, 600, 400);
  const std::vector<unsigned char> itemIcon = Bytes(std::string(QELO_SKIN_DIR) + "/UI/Image/Logo-free.png");
  const char* profiles[] = {"General Video", "General Audio", "HD Video", "Mobile Phone", "Game Console"};
  for (const char* name : profiles) {
    TComboxStrList* group = dropDown->AddGroup();
    group->Caption = name;
    group->IconData = icon.data();
    group->IconSize = static_cast<int>(icon.size());
    for (const char* format : {"MP4 Video", "AVI Video", "WMV Video", "MOV Video", "FLV Video", "MKV Video",
                               "MPEG-2 Video", "3GP Video", "DV Video"})
      group->AddItem(format, std::string(format) + " for players and editors that read it, at the profile's usual size.",
                     itemIcon.data(), static_cast<int>(itemIcon.size()));
  }
  const vcl::TPoint below = profile->ClientToScreen(vcl::Point(0, profile->Height()));
  dropDown->SetWidth(std::max(profile->Width(), 600));
  dropDown->PopupAt(below.x, below.y, form, profile->Height());
  Pump();
  MoveTo(*dropDown, 100, 40);
  MoveTo(*dropDown, 300, 80);
  EXPECT_EQ(dropDown->HotGroup(), 1);
  EXPECT_EQ(dropDown->HotItem(), 1);
  Screenshot(dropDown->Handle(), "app-skin-profile-drop-down");
  dropDown->DestroyPopup();
}

TEST_F(SkinPreviewTest, TheTrimBarShowsTheClipBetweenItsMarkers) {
  TQeloTrackBar* trim = SeekBar();
  trim->SetStartPos(20000);
  trim->SetEndPos(70000);
  trim->SetPosition(45000);
  Pump();
  const skin::Box box = layout::Find("tbPlayer");
  const vcl::TRect clip = trim->GetPartRect(trim->BitmapClip());
  EXPECT_EQ(FormPixel(box.x + (clip.left + clip.right) / 2 + 30, box.y + clip.top + 1), 0x2F6DB5u);
  Screenshot(form->Handle(), "app-skin-trim-bar");
}

}  // namespace
}  // namespace qelo::controls::test
