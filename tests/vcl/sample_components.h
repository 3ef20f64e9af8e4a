// Small components with one published property of every kind, used by the
// component, property and form-file tests.
#pragma once

#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/strings.h"

namespace qelo::vcl::test {

enum TSampleAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TSampleSide { sdLeft, sdTop, sdRight, sdBottom };
using TSampleSides = TSet<TSampleSide>;
using TMoveEvent = std::function<void(TObject* sender, int distance)>;

extern const EnumInfo kSampleAlignInfo;
extern const EnumInfo kSampleSideInfo;

// What the components report, in order: "Loaded pnlTop", "Notified pnlTop -x".
std::vector<std::string>& EventLog();

class TSampleFont : public TGraphicsObject {
  QELO_VCL_CLASS()
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  void Assign(const TPersistent* source) override;

 private:
  std::string name_ = "Tahoma";
  TColor color_ = 0;
};

class TSamplePanel : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TSamplePanel(TComponent* owner);
  ~TSamplePanel() override;

  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  TSampleAlign Align() const { return align_; }
  void SetAlign(TSampleAlign align) { align_ = align; }
  TSampleSides Sides() const { return sides_; }
  void SetSides(TSampleSides sides) { sides_ = sides; }
  const std::string& Picture() const { return picture_; }
  void SetPicture(const std::string& picture) { picture_ = picture; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool hotTrack) { hotTrack_ = hotTrack; }
  TSampleFont* Font() const { return font_; }
  TStrings* Items() const { return items_; }
  TSamplePanel* Peer() const { return peer_; }
  void SetPeer(TSamplePanel* peer);

  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override { return parent_; }
  bool HasParent() const override { return true; }
  const std::vector<TSamplePanel*>& Children() const { return children_; }

  TNotifyEvent OnClick;
  TMoveEvent OnMove;
  TComponentState StateWhenLoaded;
  bool PeerSetWhenLoaded = false;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int width_ = 0;
  bool visible_ = true;
  std::string caption_;
  TColor color_ = 0;
  TSampleAlign align_ = alNone;
  TSampleSides sides_;
  std::string picture_;
  bool hotTrack_ = false;
  TSampleFont* font_;
  TStringList* items_;
  TSamplePanel* peer_ = nullptr;
  TComponent* parent_ = nullptr;
  std::vector<TSamplePanel*> children_;
};

// A class without a factory of its own use: abstract.
class TSampleAbstract : public TComponent {
  QELO_VCL_CLASS()
 public:
  using TComponent::TComponent;
  virtual void Pure() = 0;
};

class TfrmSample : public TComponent {
  QELO_VCL_CLASS()
 public:
  using TComponent::TComponent;
  void PanelClick(TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
  void PanelMoved(TObject*, int distance) { moved += distance; }

  TSamplePanel* pnlTop = nullptr;
  TSamplePanel* pnlInner = nullptr;
  std::vector<std::string> clicks;
  int moved = 0;
};

// Registers the sample classes (once).
void RegisterSampleClasses();

}  // namespace qelo::vcl::test
