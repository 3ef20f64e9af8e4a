#include "vcl/controls/treeview.h"

#include <algorithm>
#include <unordered_map>

namespace qelo::vcl {
namespace {

using namespace win;

LPARAM ItemParam(HTREEITEM item) { return reinterpret_cast<LPARAM>(item); }

}  // namespace

// ---- nodes ---------------------------------------------------------------------

TCustomTreeView* TTreeNode::TreeView() const { return owner_->Owner(); }

std::vector<TTreeNode*>& TTreeNode::Siblings() const { return parent_ ? parent_->children_ : owner_->roots_; }

constexpr UINT kNodeStateMask = TVIS_CUT | TVIS_OVERLAYMASK;

UINT TTreeNode::StateBits() const {
  UINT state = cut_ ? TVIS_CUT : 0;
  if (overlayIndex_ >= 0) state |= static_cast<UINT>(overlayIndex_ + 1) << 8;
  return state;
}

void TTreeNode::PushFields(UINT mask) const {
  if (!handle_) return;
  TVITEM item;
  item.mask = mask | TVIF_HANDLE;
  item.hItem = handle_;
  item.pszText = const_cast<char*>(text_.c_str());
  item.cChildren = HasChildren() ? 1 : 0;
  item.state = StateBits();
  item.stateMask = kNodeStateMask;
  TreeView()->Send(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  PushFields(TVIF_TEXT);
}

// Images are asked for when drawn (OnGetImageIndex), so a new index only
// needs a repaint.
void TTreeNode::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  if (handle_) TreeView()->Invalidate();
}

void TTreeNode::SetSelectedIndex(int index) {
  if (index == selectedIndex_) return;
  selectedIndex_ = index;
  if (handle_) TreeView()->Invalidate();
}

void TTreeNode::SetHasChildren(bool value) {
  if (value == hasChildren_) return;
  hasChildren_ = value;
  PushFields(TVIF_CHILDREN);
}

void TTreeNode::SetCut(bool value) {
  if (value == cut_) return;
  cut_ = value;
  PushFields(TVIF_STATE);
}

void TTreeNode::SetOverlayIndex(int index) {
  index = std::clamp(index, -1, TImageList::kOverlayCount - 1);
  if (index == overlayIndex_) return;
  overlayIndex_ = index;
  PushFields(TVIF_STATE);
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (TTreeNode* node = owner_->GetFirstNode(); node && node != this; node = node->GetNext()) ++index;
  return index;
}

bool TTreeNode::CustomSort(const TTVCompare& compare, bool recurse) {
  if (!compare) return false;
  TreeView()->SortChildren(this, children_, compare, recurse);
  return true;
}

bool TTreeNode::Expanded() const {
  if (!handle_) return expanded_;
  return (TreeView()->Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(handle_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::Expand(bool recurse) {
  if (handle_)
    TreeView()->Send(TVM_EXPAND, TVE_EXPAND, ItemParam(handle_));
  else if (HasChildren())
    expanded_ = true;
  if (recurse)
    for (TTreeNode* child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  if (handle_)
    TreeView()->Send(TVM_EXPAND, TVE_COLLAPSE, ItemParam(handle_));
  else
    expanded_ = false;
  if (recurse)
    for (TTreeNode* child : children_) child->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  if (value) return TreeView()->SetSelected(this);
  if (Selected()) TreeView()->SetSelected(nullptr);
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw ETreeViewError("Tree view index out of bounds (" + std::to_string(index) + ")");
  return children_[static_cast<size_t>(index)];
}

int TTreeNode::Index() const {
  const auto& siblings = Siblings();
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* up = parent_; up; up = up->parent_) ++level;
  return level;
}

TTreeNode* TTreeNode::getNextSibling() const {
  const auto& siblings = Siblings();
  const size_t next = static_cast<size_t>(Index()) + 1;
  return next < siblings.size() ? siblings[next] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  const int index = Index();
  return index > 0 ? Siblings()[static_cast<size_t>(index) - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* node = this; node; node = node->parent_)
    if (TTreeNode* next = node->getNextSibling()) return next;
  return nullptr;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  RECT r{};
  PutItemInRect(&r, handle_);
  if (!handle_ || !TreeView()->Send(TVM_GETITEMRECT, textOnly ? 1 : 0, reinterpret_cast<LPARAM>(&r))) return {};
  return Rect(r.left, r.top, r.right, r.bottom);
}

bool TTreeNode::EditText() {
  return handle_ && TreeView()->Send(TVM_EDITLABEL, 0, ItemParam(handle_)) != 0;
}

void TTreeNode::MakeVisible() {
  if (handle_) TreeView()->Send(TVM_ENSUREVISIBLE, 0, ItemParam(handle_));
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back());
}

// ---- the node collection -------------------------------------------------------------

TTreeNodes::~TTreeNodes() { Clear(); }

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, size_t position, const std::string& text, void* data) {
  auto* node = new TTreeNode(this);
  node->parent_ = parent;
  node->text_ = text;
  node->data_ = data;
  auto& siblings = parent ? parent->children_ : roots_;
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), node);
  PushNode(node);
  if (parent && siblings.size() == 1) parent->PushFields(TVIF_CHILDREN);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return AddChildObject(parent, text, data);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  const size_t end = parent ? parent->children_.size() : roots_.size();
  return InsertAt(parent, end, text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return AddChild(nullptr, text);
  return InsertAt(sibling->parent_, static_cast<size_t>(sibling->Index()), text, nullptr);
}

// Puts a node and its children in the window after its previous sibling,
// expanded as it was; the window's notifications are not events here.
void TTreeNodes::PushNode(TTreeNode* node) const {
  if (!owner_->HandleAllocated() || (node->parent_ && !node->parent_->handle_)) return;
  TVINSERTSTRUCT insert;
  insert.hParent = node->parent_ ? node->parent_->handle_ : TVI_ROOT;
  // A node appended (as fills do) goes last without a search for its place.
  const auto& siblings = node->Siblings();
  TTreeNode* previous = siblings.back() == node ? nullptr : node->getPrevSibling();
  insert.hInsertAfter = siblings.back() == node ? TVI_LAST : previous ? previous->handle_ : TVI_FIRST;
  TVITEM& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
  item.pszText = const_cast<char*>(node->text_.c_str());
  item.iImage = I_IMAGECALLBACK;
  item.iSelectedImage = I_IMAGECALLBACK;
  item.lParam = reinterpret_cast<LPARAM>(node);
  item.cChildren = node->HasChildren() ? 1 : 0;
  item.stateMask = TVIS_EXPANDED | kNodeStateMask;
  item.state = (node->expanded_ ? TVIS_EXPANDED : 0) | node->StateBits();
  const bool outer = owner_->pushing_;
  owner_->pushing_ = true;
  node->handle_ = reinterpret_cast<HTREEITEM>(owner_->Send(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
  for (TTreeNode* child : node->children_) PushNode(child);
  owner_->pushing_ = outer;
}

// Frees a node's children, then the node; the window has let go of them.
void TTreeNodes::Release(TTreeNode* node) {
  while (!node->children_.empty()) Release(node->children_.back());
  if (!owner_->ComponentState().Contains(csDestroying)) owner_->Delete(node);
  if (owner_->savedSelection_ == node) owner_->savedSelection_ = nullptr;
  // Nodes mostly go from the end (children are freed last first).
  auto& siblings = node->Siblings();
  siblings.erase(std::find(siblings.rbegin(), siblings.rend(), node).base() - 1);
  delete node;
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node) return;
  TTreeNode* parent = node->parent_;
  // The window lets go first, so its selection notifications still see
  // live nodes.
  if (node->handle_) owner_->Send(TVM_DELETEITEM, 0, ItemParam(node->handle_));
  Release(node);
  if (parent && parent->children_.empty()) parent->PushFields(TVIF_CHILDREN);
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) Delete(roots_.back());
  EndUpdate();
}

// The window lays itself out once, when the last update ends.
void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0) owner_->Send(WM_SETREDRAW, 0, 0);
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  owner_->Send(WM_SETREDRAW, 1, 0);
  owner_->Invalidate();
}

int TTreeNodes::Count() const {
  int count = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int i = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext(), ++i)
    if (i == index) return node;
  throw ETreeViewError("Tree view index out of bounds (" + std::to_string(index) + ")");
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM handle) const {
  if (!handle) return nullptr;
  TVITEM item;
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = handle;
  if (!owner_->Send(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<TTreeNode*>(item.lParam);
}

// ---- the control ---------------------------------------------------------------------

const ClassInfo& TCustomTreeView::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCustomTreeView>("TCustomTreeView", TWinControl::StaticClass())
          .Component("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages)
          .Boolean("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines)
          .Enum("BorderStyle", kBorderStyleInfo, &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle)
          .Boolean("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons)
          .Boolean("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot)
          .Boolean("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly)
          .Boolean("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection)
          .Boolean("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand)
          .Boolean("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect)
          .Integer("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent)
          .Event("OnChanging", &TCustomTreeView::OnChanging)
          .Event("OnChange", &TCustomTreeView::OnChange)
          .Event("OnExpanding", &TCustomTreeView::OnExpanding)
          .Event("OnExpanded", &TCustomTreeView::OnExpanded)
          .Event("OnCollapsing", &TCustomTreeView::OnCollapsing)
          .Event("OnCollapsed", &TCustomTreeView::OnCollapsed)
          .Event("OnEditing", &TCustomTreeView::OnEditing)
          .Event("OnEdited", &TCustomTreeView::OnEdited)
          .Event("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex)
          .Event("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex)
          .Event("OnDeletion", &TCustomTreeView::OnDeletion)
          .Event("OnCustomDraw", &TCustomTreeView::OnCustomDraw)
          .Event("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem)
          .Done();
  return info;
}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(this), canvas_(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  imageLink_.OnChange = [this](TObject*) { PushImages(); };
}

TCustomTreeView::~TCustomTreeView() {
  items_.Clear();
  if (images_) images_->UnRegisterChanges(&imageLink_);
}

LRESULT TCustomTreeView::Send(UINT msg, WPARAM w, LPARAM l) const {
  return HandleAllocated() ? win::SendMessage(WindowHandle(), msg, w, l) : 0;
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = WC_TREEVIEW;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  if (showLines_) p.Style |= TVS_HASLINES;
  if (showButtons_) p.Style |= TVS_HASBUTTONS;
  if (showRoot_) p.Style |= TVS_LINESATROOT;
  if (!readOnly_) p.Style |= TVS_EDITLABELS;
  if (!hideSelection_) p.Style |= TVS_SHOWSELALWAYS;
  if (autoExpand_) p.Style |= TVS_SINGLEEXPAND;
}

void TCustomTreeView::CreateWnd() {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  PushImages();
  Send(TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  for (TTreeNode* root : items_.roots_) items_.PushNode(root);
  if (savedSelection_) {
    pushing_ = true;
    Send(TVM_SELECTITEM, TVGN_CARET, ItemParam(savedSelection_->handle_));
    pushing_ = false;
    savedSelection_ = nullptr;
  }
}

void TCustomTreeView::SaveStates(TTreeNode* node) {
  node->expanded_ = node->Expanded();
  for (TTreeNode* child : node->children_) SaveStates(child);
  node->handle_ = nullptr;
}

void TCustomTreeView::DestroyWnd() {
  savedSelection_ = Selected();
  for (TTreeNode* root : items_.roots_) SaveStates(root);
  TWinControl::DestroyWnd();
}

void TCustomTreeView::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomTreeView::SetStyleFlag(bool& field, bool value) {
  if (field == value) return;
  field = value;
  RecreateWnd();
}

void TCustomTreeView::PushImages() const {
  Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TCustomTreeView::SetImages(TImageList* images) {
  if (ChangeImageList(images_, images, imageLink_, *this)) PushImages();
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove || component != images_) return;
  // A list that goes is told last, when only its component part is left
  // (its links were already let go): forget it without calling it.
  images_ = nullptr;
  PushImages();
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return savedSelection_;
  return items_.GetNode(reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (!HandleAllocated()) {
    savedSelection_ = node;
    return;
  }
  Send(TVM_SELECTITEM, TVGN_CARET, ItemParam(node ? node->handle_ : nullptr));
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  TVHITTESTINFO info;
  info.pt = POINT{x, y};
  Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  return (info.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON))
             ? items_.GetNode(info.hItem)
             : nullptr;
}

TTreeNode* TCustomTreeView::DropTarget() const {
  return items_.GetNode(reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
  Send(TVM_SELECTITEM, TVGN_DROPHILITE, ItemParam(node ? node->handle_ : nullptr));
}

bool TCustomTreeView::IsEditing() const { return Send(TVM_GETEDITCONTROL) != 0; }

void TCustomTreeView::SetIndent(int value) {
  if (value == indent_) return;
  indent_ = value;
  Send(TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

bool TCustomTreeView::CustomSort(const TTVCompare& compare, bool recurse) {
  if (!compare) return false;
  SortChildren(nullptr, items_.roots_, compare, recurse);
  return true;
}

namespace {

// The window's order follows the nodes' new places.
int CompareByRank(LPARAM a, LPARAM b, LPARAM ranks) {
  const auto& rank = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(ranks);
  return rank.at(a) - rank.at(b);
}

}  // namespace

void TCustomTreeView::SortChildren(TTreeNode* parent, std::vector<TTreeNode*>& nodes, const TTVCompare& compare,
                                   bool recurse) {
  std::stable_sort(nodes.begin(), nodes.end(), [&](TTreeNode* a, TTreeNode* b) { return compare(a, b) < 0; });
  if (HandleAllocated() && (!parent || parent->handle_)) {
    std::unordered_map<LPARAM, int> ranks;
    ranks.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) ranks[reinterpret_cast<LPARAM>(nodes[i])] = static_cast<int>(i);
    TVSORTCB sort;
    sort.hParent = parent ? parent->handle_ : TVI_ROOT;
    sort.lpfnCompare = &CompareByRank;
    sort.lParam = reinterpret_cast<LPARAM>(&ranks);
    Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
  }
  if (recurse)
    for (TTreeNode* child : nodes) SortChildren(child, child->children_, compare, true);
}

// ---- events ------------------------------------------------------------------------

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* node) {
  if (OnExpanded) OnExpanded(this, node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* node) {
  if (OnCollapsed) OnCollapsed(this, node);
}

bool TCustomTreeView::CanEdit(TTreeNode* node) {
  bool allow = !readOnly_;
  if (allow && OnEditing) OnEditing(this, node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode* node, std::string& text) {
  if (OnEdited) OnEdited(this, node, text);
  node->SetText(text);
}

void TCustomTreeView::Delete(TTreeNode* node) {
  if (OnDeletion) OnDeletion(this, node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* node) {
  if (OnGetImageIndex) OnGetImageIndex(this, node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
}

bool TCustomTreeView::CustomDraw(const TRect& rect) {
  bool defaultDraw = true;
  if (OnCustomDraw) OnCustomDraw(this, rect, defaultDraw);
  return defaultDraw;
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* node, TCustomDrawState state) {
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, node, state, defaultDraw);
  return defaultDraw;
}

// ---- notifications ---------------------------------------------------------------

LRESULT TCustomTreeView::ExpandingMessage(const NMTREEVIEW& n) {
  TTreeNode* node = items_.GetNode(n.itemNew.hItem);
  if (pushing_ || !node) return 0;
  const bool allow = n.action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
  return allow ? 0 : 1;
}

void TCustomTreeView::DispInfoMessage(NMTVDISPINFO& info) {
  TTreeNode* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
  if (!node) return;
  if (info.item.mask & TVIF_IMAGE) {
    GetImageIndex(node);
    info.item.iImage = node->imageIndex_;
  }
  if (info.item.mask & TVIF_SELECTEDIMAGE) {
    GetSelectedIndex(node);
    info.item.iSelectedImage = node->selectedIndex_;
  }
}

LRESULT TCustomTreeView::EndEditMessage(NMTVDISPINFO& info) {
  TTreeNode* node = items_.GetNode(info.item.hItem);
  if (!node || !info.item.pszText) return 0;  // cancelled
  std::string text = info.item.pszText;
  Edit(node, text);
  return 0;  // the text was pushed as the handler left it
}

LRESULT TCustomTreeView::CustomDrawMessage(NMTVCUSTOMDRAW& draw) {
  const DWORD stage = draw.nmcd.dwDrawStage;
  const RECT& rc = draw.nmcd.rc;
  if (stage == CDDS_PREPAINT) {
    LRESULT result = OnCustomDrawItem ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    if (!OnCustomDraw) return result;
    TCanvasOnDC lent(*canvas_, draw.nmcd.hdc);
    if (!CustomDraw(Rect(rc.left, rc.top, rc.right, rc.bottom))) result |= CDRF_SKIPDEFAULT;
    return result;
  }
  if (stage != CDDS_ITEMPREPAINT || !OnCustomDrawItem) return CDRF_DODEFAULT;
  TTreeNode* node = items_.GetNode(reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec));
  const TCustomDrawState state = CustomDrawState(draw.nmcd.uItemState);
  return ItemDrawStage(*canvas_, *this, draw.nmcd.hdc, draw.clrText, draw.clrTextBk,
                       [&] { return CustomDrawItem(node, state); });
}

void TCustomTreeView::RightClick() {
  if (!rightClickSelect_) return;
  POINT p{};
  GetCursorPos(&p);
  win::ScreenToClient(WindowHandle(), &p);
  if (TTreeNode* node = GetNodeAt(p.x, p.y)) SetSelected(node);
}

void TCustomTreeView::NotifyMessage(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  m.Result = 0;
  // What the window reports while the control goes is no user's change.
  if (ComponentState().Contains(csDestroying)) return;
  switch (header->code) {
    case TVN_SELCHANGING: {
      TTreeNode* node = items_.GetNode(reinterpret_cast<NMTREEVIEW*>(header)->itemNew.hItem);
      m.Result = pushing_ || CanChange(node) ? 0 : 1;
      return;
    }
    case TVN_SELCHANGED:
      if (!pushing_) Change(items_.GetNode(reinterpret_cast<NMTREEVIEW*>(header)->itemNew.hItem));
      return;
    case TVN_ITEMEXPANDING: m.Result = ExpandingMessage(*reinterpret_cast<NMTREEVIEW*>(header)); return;
    case TVN_ITEMEXPANDED: {
      const auto* n = reinterpret_cast<NMTREEVIEW*>(header);
      TTreeNode* node = items_.GetNode(n->itemNew.hItem);
      if (pushing_ || !node) return;
      n->action == TVE_EXPAND ? Expand(node) : Collapse(node);
      return;
    }
    case TVN_BEGINLABELEDIT: {
      TTreeNode* node = items_.GetNode(reinterpret_cast<NMTVDISPINFO*>(header)->item.hItem);
      m.Result = node && CanEdit(node) ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDIT: m.Result = EndEditMessage(*reinterpret_cast<NMTVDISPINFO*>(header)); return;
    case TVN_GETDISPINFO: return DispInfoMessage(*reinterpret_cast<NMTVDISPINFO*>(header));
    case NM_CUSTOMDRAW: m.Result = CustomDrawMessage(*reinterpret_cast<NMTVCUSTOMDRAW*>(header)); return;
    case NM_RCLICK: return RightClick();
    default: return;
  }
}

void TCustomTreeView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: return NotifyMessage(m);
    case CM_COLORCHANGED:
      Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
      return TWinControl::Dispatch(m);
    case CM_FONTCHANGED:
      Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
      return TWinControl::Dispatch(m);
    default: return TWinControl::Dispatch(m);
  }
}

const ClassInfo& TTreeView::StaticClass() {
  static const ClassInfo info = ClassBuilder<TTreeView>("TTreeView", TCustomTreeView::StaticClass()).Done();
  return info;
}

}  // namespace qelo::vcl
