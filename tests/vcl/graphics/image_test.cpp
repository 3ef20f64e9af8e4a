#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "canvas.h"
#include "common/temp_dir.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/picture.h"

namespace qelo::res {
extern const ResourceTable kVclGraphicsTestResources;
}

namespace qelo::vcl {
namespace {

using qelo::test::Canvas;
using win::RGB;

constexpr win::COLORREF kOliveRgb = RGB(128, 128, 0);

// The bytes of a resource of the test table, as a file would hold them.
std::string ResourceBytes(std::string_view type, std::string_view name) {
  const res::Resource* r = res::FindResource(res::kVclGraphicsTestResources, type, name);
  EXPECT_NE(r, nullptr) << name;
  return r ? std::string(reinterpret_cast<const char*>(r->data), r->size) : std::string();
}

std::string WriteFile(const test::TempDir& dir, const std::string& name, const std::string& bytes) {
  const std::string path = dir.File(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Draws on a white sheet through a canvas and hands the sheet back.
struct Sheet {
  Canvas pixels;
  TCanvas canvas;
  Sheet(int w, int h) : pixels(w, h) { canvas.SetHandle(pixels.dc()); }
  ~Sheet() { canvas.SetHandle(nullptr); }
};

int Near(int a, int b) { return std::abs(a - b) <= 2; }

TEST(Bitmap, CanvasDrawsOnThePixelsAndResizingKeepsThem) {
  TBitmap bitmap(4, 3);
  int changes = 0;
  bitmap.OnChange = [&](TObject*) { ++changes; };
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(Rect(0, 0, 4, 3));
  EXPECT_EQ(changes, 1) << "drawing on the canvas changes the bitmap";
  EXPECT_EQ(bitmap.ScanLine(2)[3] & 0xFFFFFF, 0xFF0000u) << "B, G, R, A bytes";

  bitmap.SetSize(6, 5);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 2), RGB(255, 0, 0));
  EXPECT_EQ(bitmap.Canvas()->Pixels(5, 4), RGB(0, 0, 0)) << "new pixels start black";
  EXPECT_THROW(bitmap.ScanLine(5), EInvalidGraphic);

  // The handle can be selected elsewhere once handed out, and drawing
  // afterwards still reaches the same pixels.
  win::HBITMAP handle = bitmap.Handle();
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, handle);
  EXPECT_EQ(win::GetPixel(dc, 0, 0), RGB(255, 0, 0));
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  bitmap.Canvas()->SetPixel(0, 0, clBlue);
  EXPECT_EQ(bitmap.Handle(), handle);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), RGB(0, 0, 255));

  bitmap.SetSize(0, 0);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Handle(), nullptr);
}

TEST(Bitmap, MonochromeConversionAndAssignCopyPixels) {
  TBitmap colour(3, 1);
  colour.Canvas()->SetPixel(0, 0, clWhite);
  colour.Canvas()->SetPixel(1, 0, clBlack);
  TBitmap copy;
  copy.Assign(&colour);
  colour.Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(copy.Canvas()->Pixels(0, 0), RGB(255, 255, 255)) << "a copy, not a share";
  copy.SetMonochrome(true);
  EXPECT_TRUE(copy.Monochrome());
  EXPECT_EQ(copy.Canvas()->Pixels(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(copy.Canvas()->Pixels(1, 0), RGB(0, 0, 0));
  EXPECT_THROW(copy.ScanLine(0), EInvalidGraphic);
}

TEST(Bitmap, TransparentColourIsLeftOut) {
  TBitmap glyph;
  glyph.LoadFromResourceName(res::kVclGraphicsTestResources, "GLYPH");
  ASSERT_EQ(glyph.Width(), 3);
  ASSERT_EQ(glyph.Height(), 2);
  EXPECT_EQ(glyph.TransparentMode(), tmAuto);
  EXPECT_EQ(glyph.TransparentColor(), kOliveRgb) << "the bottom-left pixel";

  Sheet sheet(3, 2);
  sheet.canvas.Draw(0, 0, &glyph);
  EXPECT_EQ(sheet.pixels.Count(kOliveRgb), 4) << "opaque until Transparent is set";

  sheet.pixels.Fill(RGB(255, 255, 255));
  glyph.SetTransparent(true);
  sheet.canvas.Draw(0, 0, &glyph);
  EXPECT_EQ(sheet.pixels.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(sheet.pixels.At(1, 0), RGB(0, 0, 255));
  EXPECT_EQ(sheet.pixels.At(2, 1), RGB(255, 0, 0));

  sheet.pixels.Fill(RGB(255, 255, 255));
  glyph.SetTransparentColor(clBlue);
  EXPECT_EQ(glyph.TransparentMode(), tmFixed);
  sheet.canvas.Draw(0, 0, &glyph);
  EXPECT_EQ(sheet.pixels.At(0, 0), kOliveRgb);
  EXPECT_EQ(sheet.pixels.At(1, 0), RGB(255, 255, 255));

  glyph.SetTransparentMode(tmAuto);
  EXPECT_EQ(glyph.TransparentColor(), kOliveRgb);
}

TEST(Bitmap, BadSourcesRaiseTheirErrors) {
  TBitmap bitmap;
  test::TempDir dir;
  EXPECT_THROW(bitmap.LoadFromResourceName(res::kVclGraphicsTestResources, "NOSUCH"), EResNotFound);
  EXPECT_THROW(bitmap.LoadFromFile(dir.File("missing.bmp")), EFOpenError);
  EXPECT_THROW(bitmap.LoadFromFile(WriteFile(dir, "junk.bmp", "BM not really")), EInvalidGraphic);
  EXPECT_TRUE(bitmap.Empty()) << "a failed load leaves the bitmap as it was";
}

TEST(PngImage, DrawsBlendedByItsAlpha) {
  TPngImage png;
  png.LoadFromResourceName(res::kVclGraphicsTestResources, "ALPHA");
  ASSERT_EQ(png.Width(), 4);
  ASSERT_EQ(png.Height(), 2);
  EXPECT_TRUE(png.Transparent());

  Sheet sheet(8, 4);
  sheet.canvas.Draw(0, 0, &png);
  EXPECT_EQ(sheet.pixels.At(0, 0), RGB(255, 0, 0));
  const win::COLORREF half = sheet.pixels.At(1, 0);
  EXPECT_TRUE(Near(win::GetRValue(half), 127) && win::GetGValue(half) == 255 && Near(win::GetBValue(half), 127))
      << std::hex << half;
  EXPECT_EQ(sheet.pixels.At(2, 0), RGB(255, 255, 255)) << "a fully transparent pixel shows the sheet";
  EXPECT_EQ(sheet.pixels.At(3, 1), RGB(0, 0, 0));

  sheet.pixels.Fill(RGB(255, 255, 255));
  sheet.canvas.StretchDraw(Rect(0, 0, 8, 4), &png);
  EXPECT_EQ(sheet.pixels.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(sheet.pixels.At(5, 1), RGB(255, 255, 255));
  EXPECT_EQ(sheet.pixels.At(7, 3), RGB(0, 0, 0));
}

TEST(PngImage, LoadsFromFilesAndStreamsAndRefusesOtherData) {
  const std::string bytes = ResourceBytes("PNG", "ALPHA");
  test::TempDir dir;
  TPngImage fromFile;
  fromFile.LoadFromFile(WriteFile(dir, "a.png", bytes));
  EXPECT_EQ(fromFile.Width(), 4);
  std::istringstream stream(bytes);
  TPngImage fromStream;
  fromStream.LoadFromStream(stream);
  EXPECT_EQ(fromStream.Height(), 2);
  EXPECT_EQ(fromStream.ScanLine(0)[0], 0xFFFF0000u) << "opaque red, B G R A";

  TPngImage png;
  EXPECT_THROW(png.LoadFromMemory(ResourceBytes("BITMAP", "GLYPH").data(), 78), EInvalidGraphic);
  std::string truncated = bytes.substr(0, 40);
  EXPECT_THROW(png.LoadFromMemory(truncated.data(), truncated.size()), EInvalidGraphic);
  EXPECT_THROW(png.LoadFromResourceName(res::kVclGraphicsTestResources, "GLYPH"), EResNotFound);
  EXPECT_TRUE(png.Empty());
}

TEST(Picture, LoadsByExtensionAndKeepsItsGraphicOnFailure) {
  test::TempDir dir;
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(WriteFile(dir, "a.PNG", ResourceBytes("PNG", "ALPHA")));
  EXPECT_NE(dynamic_cast<TPngImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(changes, 1);
  EXPECT_THROW(picture.LoadFromFile(WriteFile(dir, "a.gif", "GIF89a")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(dir.File("gone.bmp")), EFOpenError);
  EXPECT_EQ(picture.Width(), 4) << "the PNG stays";

  picture.LoadFromFile(WriteFile(dir, "g.bmp", ResourceBytes("BITMAP", "GLYPH")));
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  changes = 0;
  picture.Bitmap()->Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(changes, 1) << "drawing on the graphic changes the picture";

  TPicture copy;
  copy.Assign(&picture);
  picture.Bitmap()->Canvas()->SetPixel(1, 1, clRed);
  EXPECT_EQ(copy.Bitmap()->Canvas()->Pixels(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(copy.Bitmap()->Canvas()->Pixels(1, 1), kOliveRgb);
}

// A component showing a picture that its form file names.
class TPictureHolder : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
  TPicture* Picture() const { return picture_.get(); }
  std::string PictureName() const { return picture_->ResourceName(); }
  void SetPictureName(const std::string& name) { picture_->SetResourceName(name); }

 private:
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
};

const ClassInfo& TPictureHolder::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPictureHolder>("TPictureHolder", TComponent::StaticClass())
                                    .Image("Picture", &TPictureHolder::PictureName, &TPictureHolder::SetPictureName)
                                    .Done();
  return info;
}

TEST(Picture, FormFilesNameImagesOfTheRegisteredTables) {
  TPictureHolder holder(nullptr);
  EXPECT_THROW(ReadComponentText(holder, "object H: TPictureHolder\n  Picture = 'ALPHA'\nend\n", "h.form"),
               EReadError)
      << "no table registered yet";
  RegisterPictureResources(res::kVclGraphicsTestResources);
  ReadComponentText(holder, "object H: TPictureHolder\n  Picture = 'ALPHA'\nend\n", "h.form");
  EXPECT_NE(dynamic_cast<TPngImage*>(holder.Picture()->Graphic()), nullptr);
  ReadComponentText(holder, "object H: TPictureHolder\n  Picture = 'GLYPH'\nend\n", "h.form");
  EXPECT_NE(dynamic_cast<TBitmap*>(holder.Picture()->Graphic()), nullptr);
  EXPECT_EQ(holder.Picture()->Width(), 3);
  holder.SetPictureName("");
  EXPECT_EQ(holder.Picture()->Graphic(), nullptr);
  UnregisterPictureResources(res::kVclGraphicsTestResources);
}

}  // namespace
}  // namespace qelo::vcl
