#include <algorithm>
#include <cctype>

#include "controls/lists/label_edit.h"
#include "controls/lists/treeview_state.h"

namespace qelo::win::lists {
namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

void ApplyFields(TreeNode* node, const TVITEM& in) {
  if (in.mask & TVIF_TEXT) {
    node->textCallback = in.pszText == LPSTR_TEXTCALLBACK;
    node->text = ReadText(in.pszText);
    node->textWidth = TreeNode::kUnmeasured;
  }
  if (in.mask & TVIF_IMAGE) node->image = in.iImage;
  if (in.mask & TVIF_SELECTEDIMAGE) node->selectedImage = in.iSelectedImage;
  if (in.mask & TVIF_CHILDREN) node->childrenFlag = in.cChildren;
  if (in.mask & TVIF_PARAM) node->param = in.lParam;
  if (in.mask & TVIF_STATE) {
    // Selection is the caret's: it changes through selecting only.
    const UINT mask = in.stateMask & ~TVIS_SELECTED;
    node->state = (node->state & ~mask) | (in.state & mask);
  }
}

}  // namespace

HTREEITEM TreeView::Insert(const TVINSERTSTRUCT* in) {
  if (in == nullptr) return nullptr;
  TreeNode* parent = (in->hParent == nullptr || in->hParent == TVI_ROOT) ? &root_ : in->hParent;
  if (parent != &root_ && !Valid(parent)) return nullptr;
  auto node = std::make_unique<TreeNode>();
  node->parent = parent;
  ApplyFields(node.get(), in->item);
  // With check boxes every node starts unchecked (state image 1).
  if ((Style() & TVS_CHECKBOXES) && !(node->state & TVIS_STATEIMAGEMASK)) node->state |= 1u << 12;
  auto& siblings = parent->children;
  auto at = siblings.end();
  if (in->hInsertAfter == TVI_FIRST) {
    at = siblings.begin();
  } else if (in->hInsertAfter == TVI_SORT) {
    at = std::find_if(siblings.begin(), siblings.end(), [&](const auto& s) {
      return LessNoCase(node->text, s->text);
    });
  } else if (in->hInsertAfter != TVI_LAST && in->hInsertAfter != nullptr) {
    auto after = std::find_if(siblings.begin(), siblings.end(),
                              [&](const auto& s) { return s.get() == in->hInsertAfter; });
    if (after != siblings.end()) at = after + 1;
  }
  TreeNode* made = siblings.insert(at, std::move(node))->get();
  nodes_.insert(made);
  LayoutChanged();
  return made;
}

void TreeView::Forget(TreeNode* node) {
  for (auto& child : node->children) Forget(child.get());
  NMTREEVIEW n;
  n.itemOld = Describe(node);
  Notify(TVN_DELETEITEM, &n.hdr);
  nodes_.erase(node);
  if (dropHilite_ == node) dropHilite_ = nullptr;
  if (downItem_ == node) downItem_ = nullptr;
}

void TreeView::DeleteChildren(TreeNode* node) {
  for (auto& child : node->children) Forget(child.get());
  node->children.clear();
  LayoutChanged();
}

bool TreeView::Delete(HTREEITEM item) {
  if (item == nullptr || item == TVI_ROOT) {
    if (edit_) EndLabelEdit(edit_, false);
    selected_ = nullptr;
    DeleteChildren(&root_);
    top_ = 0;
    return true;
  }
  if (!Valid(item)) return false;
  auto inside = [item](const TreeNode* n) {
    for (; n; n = n->parent)
      if (n == item) return true;
    return false;
  };
  if (editItem_ && inside(editItem_) && edit_) EndLabelEdit(edit_, false);
  if (selected_ && inside(selected_)) {
    // The selection moves to the next sibling, else the previous one, else
    // the parent, as the platform does.
    auto& siblings = item->parent->children;
    const size_t at = IndexInParent(item);
    TreeNode* heir = at + 1 < siblings.size() ? siblings[at + 1].get()
                     : at > 0                 ? siblings[at - 1].get()
                     : item->parent != &root_ ? item->parent
                                              : nullptr;
    if (!Select(heir, TVC_UNKNOWN)) selected_ = nullptr;
  }
  if (!Valid(item)) return true;  // a handler removed it meanwhile
  Forget(item);
  auto& siblings = item->parent->children;
  siblings.erase(siblings.begin() + static_cast<ptrdiff_t>(IndexInParent(item)));
  LayoutChanged();
  return true;
}

// Searched from the end, where nodes are mostly added and removed.
size_t TreeView::IndexInParent(const TreeNode* node) {
  const auto& siblings = node->parent->children;
  const auto found = std::find_if(siblings.rbegin(), siblings.rend(), [node](const auto& s) { return s.get() == node; });
  return static_cast<size_t>(siblings.rend() - found) - 1;
}

int TreeView::Level(const TreeNode* node) const {
  int level = 0;
  for (const TreeNode* n = node->parent; n && n != &root_; n = n->parent) ++level;
  return level;
}

TVITEM TreeView::Describe(HTREEITEM item) const {
  TVITEM t;
  if (item == nullptr) return t;
  t.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  t.hItem = item;
  t.state = item->state;
  t.stateMask = 0xFFFF;
  t.lParam = item->param;
  return t;
}

std::string TreeView::Text(HTREEITEM item) {
  if (!Valid(item)) return {};
  if (!item->textCallback) return item->text;
  NMTVDISPINFO info;
  info.item = Describe(item);
  info.item.mask = TVIF_TEXT | TVIF_HANDLE | TVIF_PARAM;
  dispText_[0] = '\0';
  info.item.pszText = dispText_;
  info.item.cchTextMax = sizeof dispText_;
  Notify(TVN_GETDISPINFO, &info.hdr);
  std::string text = ReadText(info.item.pszText);
  if ((info.item.mask & TVIF_DI_SETITEM) && Valid(item)) {
    item->text = text;
    item->textCallback = false;
    item->textWidth = TreeNode::kUnmeasured;
  }
  return text;
}

int TreeView::Image(HTREEITEM item, bool selected) {
  if (!Valid(item)) return -1;
  int& stored = selected ? item->selectedImage : item->image;
  if (stored != I_IMAGECALLBACK) return stored;
  NMTVDISPINFO info;
  info.item = Describe(item);
  info.item.mask = (selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE) | TVIF_HANDLE | TVIF_PARAM;
  info.item.iImage = info.item.iSelectedImage = -1;
  Notify(TVN_GETDISPINFO, &info.hdr);
  const int answer = selected ? info.item.iSelectedImage : info.item.iImage;
  if ((info.item.mask & TVIF_DI_SETITEM) && Valid(item)) stored = answer;
  return answer;
}

bool TreeView::HasChildren(HTREEITEM item) {
  if (!Valid(item)) return false;
  if (!item->children.empty()) return true;
  if (item->childrenFlag != I_CHILDRENCALLBACK) return item->childrenFlag > 0;
  NMTVDISPINFO info;
  info.item = Describe(item);
  info.item.mask = TVIF_CHILDREN | TVIF_HANDLE | TVIF_PARAM;
  Notify(TVN_GETDISPINFO, &info.hdr);
  if ((info.item.mask & TVIF_DI_SETITEM) && Valid(item)) item->childrenFlag = info.item.cChildren;
  return info.item.cChildren > 0;
}

LRESULT TreeView::GetItem(TVITEM* out) {
  if (out == nullptr || !Valid(out->hItem)) return 0;
  HTREEITEM item = out->hItem;
  if (out->mask & TVIF_TEXT) CopyText(Text(item), out->pszText, out->cchTextMax);
  if (out->mask & TVIF_IMAGE) out->iImage = Image(item, false);
  if (out->mask & TVIF_SELECTEDIMAGE) out->iSelectedImage = Image(item, true);
  if (out->mask & TVIF_CHILDREN) out->cChildren = HasChildren(item) ? 1 : 0;
  if (!Valid(item)) return 0;
  if (out->mask & TVIF_PARAM) out->lParam = item->param;
  if (out->mask & TVIF_STATE) out->state = item->state & out->stateMask;
  return 1;
}

LRESULT TreeView::SetItem(const TVITEM* in) {
  if (in == nullptr || !Valid(in->hItem)) return 0;
  ApplyFields(in->hItem, *in);
  LayoutChanged();
  return 1;
}

// Expanding or collapsing asks the parent first; collapsing a node that
// holds the selection moves the selection to that node.
bool TreeView::Expand(HTREEITEM item, UINT code) {
  if (!Valid(item)) return false;
  const bool expanded = item->state & TVIS_EXPANDED;
  const UINT action = (code & 0x3) == TVE_TOGGLE ? (expanded ? TVE_COLLAPSE : TVE_EXPAND) : (code & 0x3);
  if (action != TVE_EXPAND && action != TVE_COLLAPSE) return false;
  if ((action == TVE_EXPAND) == expanded) {
    if (action == TVE_COLLAPSE && (code & TVE_COLLAPSERESET)) {
      DeleteChildren(item);
      item->state &= ~TVIS_EXPANDEDONCE;
    }
    return true;
  }
  NMTREEVIEW n;
  n.action = action;
  n.itemNew = Describe(item);
  if (Notify(TVN_ITEMEXPANDING, &n.hdr) != 0 || !Valid(item)) return false;
  if (action == TVE_COLLAPSE && selected_ && selected_ != item) {
    for (TreeNode* up = selected_->parent; up; up = up->parent)
      if (up == item) {
        Select(item, TVC_UNKNOWN);
        break;
      }
  }
  if (!Valid(item)) return false;
  if (action == TVE_EXPAND) item->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else item->state &= ~TVIS_EXPANDED;
  if (action == TVE_COLLAPSE && (code & TVE_COLLAPSERESET)) {
    DeleteChildren(item);
    item->state &= ~TVIS_EXPANDEDONCE;
  }
  LayoutChanged();
  n.itemNew = Describe(item);
  Notify(TVN_ITEMEXPANDED, &n.hdr);
  return true;
}

bool TreeView::Select(HTREEITEM item, UINT action) {
  if (item != nullptr && !Valid(item)) return false;
  if (item == selected_) return true;
  NMTREEVIEW n;
  n.action = action;
  n.itemOld = Describe(selected_);
  n.itemNew = Describe(item);
  if (Notify(TVN_SELCHANGING, &n.hdr) != 0) return false;
  if (item != nullptr && !Valid(item)) return false;
  if (selected_ && Valid(selected_)) selected_->state &= ~TVIS_SELECTED;
  selected_ = item;
  if (item) {
    item->state |= TVIS_SELECTED;
    EnsureVisible(item);
  }
  InvalidateRect(window_, nullptr, 1);
  n.itemOld.state &= ~TVIS_SELECTED;
  n.itemNew = Describe(item);
  Notify(TVN_SELCHANGED, &n.hdr);
  return true;
}

void TreeView::ToggleCheck(HTREEITEM item) {
  if (!Valid(item) || !(Style() & TVS_CHECKBOXES)) return;
  const UINT image = (item->state & TVIS_STATEIMAGEMASK) >> 12;
  item->state = (item->state & ~TVIS_STATEIMAGEMASK) | ((image == 2 ? 1u : 2u) << 12);
  InvalidateRect(window_, nullptr, 1);
}

HTREEITEM TreeView::Next(UINT code, HTREEITEM item) {
  const auto& rows = VisibleRows();
  const bool valid = Valid(item);
  auto sibling = [&](int step) -> HTREEITEM {
    if (!valid) return nullptr;
    const auto& siblings = item->parent->children;
    const auto at = static_cast<ptrdiff_t>(IndexInParent(item)) + step;
    return at >= 0 && at < static_cast<ptrdiff_t>(siblings.size()) ? siblings[static_cast<size_t>(at)].get()
                                                                    : nullptr;
  };
  switch (code) {
    case TVGN_ROOT: return root_.children.empty() ? nullptr : root_.children.front().get();
    case TVGN_NEXT: return sibling(1);
    case TVGN_PREVIOUS: return sibling(-1);
    case TVGN_PARENT: return valid && item->parent != &root_ ? item->parent : nullptr;
    case TVGN_CHILD: {
      const TreeNode* of = item == nullptr || item == TVI_ROOT ? &root_ : (valid ? item : nullptr);
      return of && !of->children.empty() ? of->children.front().get() : nullptr;
    }
    case TVGN_FIRSTVISIBLE: return top_ < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(top_)] : nullptr;
    case TVGN_LASTVISIBLE: return rows.empty() ? nullptr : rows.back();
    case TVGN_NEXTVISIBLE: case TVGN_PREVIOUSVISIBLE: {
      const int row = valid ? Row(item) : -1;
      const int to = row + (code == TVGN_NEXTVISIBLE ? 1 : -1);
      return row >= 0 && to >= 0 && to < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(to)] : nullptr;
    }
    case TVGN_CARET: return selected_;
    case TVGN_DROPHILITE: return dropHilite_;
    default: return nullptr;
  }
}

bool TreeView::Sort(HTREEITEM parent, bool recurse, const TVSORTCB* callback) {
  TreeNode* node = parent == nullptr || parent == TVI_ROOT ? &root_ : parent;
  if (node != &root_ && !Valid(node)) return false;
  std::stable_sort(node->children.begin(), node->children.end(), [&](const auto& a, const auto& b) {
    if (callback) return callback->lpfnCompare(a->param, b->param, callback->lParam) < 0;
    return LessNoCase(Text(a.get()), Text(b.get()));
  });
  if (recurse)
    for (auto& child : node->children) Sort(child.get(), true, callback);
  LayoutChanged();
  return true;
}

}  // namespace qelo::win::lists
