// Where aligned and anchored children end up inside their parent.
#include "controls_fixture.h"

namespace qelo::vcl::test {
namespace {

struct ChildSpec {
  TAlign align;
  TRect bounds;  // as placed before aligning (size and order count)
};

struct AlignCase {
  const char* name;
  std::vector<ChildSpec> children;
  std::vector<TRect> expected;
};

class AlignTest : public FormTest, public ::testing::WithParamInterface<AlignCase> {};

// The parent is a 200 x 100 panel with a border of 5 on every side, so the
// children share the rectangle (5, 5, 195, 95).
TEST_P(AlignTest, ChildrenFillTheirParentInAlignOrder) {
  auto* parent = new TPanel(form);
  parent->SetParent(form);
  parent->SetBevelOuter(bvNone);
  parent->SetBorderWidth(5);
  parent->SetBounds(0, 0, 200, 100);
  std::vector<TControl*> made;
  parent->DisableAlign();
  for (const ChildSpec& spec : GetParam().children) {
    auto* c = new TPanel(form);
    c->SetParent(parent);
    c->SetBoundsRect(spec.bounds);
    c->SetAlign(spec.align);
    made.push_back(c);
  }
  parent->EnableAlign();
  ASSERT_EQ(made.size(), GetParam().expected.size());
  for (size_t i = 0; i < made.size(); ++i) {
    const TRect got = made[i]->BoundsRect();
    const TRect& want = GetParam().expected[i];
    EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        << "child " << i << " at (" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AlignTest,
    ::testing::Values(
        AlignCase{"TopThenClient", {{alTop, Rect(0, 0, 10, 20)}, {alClient, Rect(0, 0, 10, 10)}},
                  {Rect(5, 5, 195, 25), Rect(5, 25, 195, 95)}},
        AlignCase{"BottomLeftRight",
                  {{alBottom, Rect(0, 0, 10, 10)}, {alLeft, Rect(0, 0, 30, 10)}, {alRight, Rect(0, 0, 40, 10)}},
                  {Rect(5, 85, 195, 95), Rect(5, 5, 35, 85), Rect(155, 5, 195, 85)}},
        // Two top-aligned children keep the order of their tops.
        AlignCase{"TopsStackInOrderOfTheirTops",
                  {{alTop, Rect(0, 50, 10, 60)}, {alTop, Rect(0, 0, 10, 20)}},
                  {Rect(5, 25, 195, 35), Rect(5, 5, 195, 25)}},
        // Tops go before lefts whatever the creation order.
        AlignCase{"LeftAfterTop", {{alLeft, Rect(0, 0, 30, 10)}, {alTop, Rect(0, 0, 10, 20)}},
                  {Rect(5, 25, 35, 95), Rect(5, 5, 195, 25)}},
        // Edge children wider than the room left keep their widths and
        // overlap; the client child then gets an empty, never a negative, size.
        AlignCase{"ClientBetweenOversizedEdges",
                  {{alLeft, Rect(0, 0, 120, 10)}, {alRight, Rect(0, 0, 100, 10)}, {alClient, Rect(0, 0, 1, 1)}},
                  {Rect(5, 5, 125, 95), Rect(95, 5, 195, 95), Rect(125, 5, 125, 95)}},
        AlignCase{"NoneStaysPut", {{alNone, Rect(7, 8, 27, 18)}}, {Rect(7, 8, 27, 18)}}),
    [](const ::testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

struct AnchorCase {
  const char* name;
  TAnchors anchors;
  TRect expected;  // after the parent grows from 200 x 100 to 260 x 140
};

class AnchorTest : public FormTest, public ::testing::WithParamInterface<AnchorCase> {};

TEST_P(AnchorTest, AnchoredChildFollowsItsParentsSize) {
  auto* parent = new TPanel(form);
  parent->SetParent(form);
  parent->SetBevelOuter(bvNone);
  parent->SetBounds(0, 0, 200, 100);
  auto* child = new TPanel(form);
  child->SetParent(parent);
  child->SetBounds(20, 30, 40, 20);
  child->SetAnchors(GetParam().anchors);
  parent->SetBounds(0, 0, 260, 140);
  const TRect got = child->BoundsRect();
  const TRect& want = GetParam().expected;
  EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
      << "(" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, AnchorTest,
    ::testing::Values(AnchorCase{"LeftTop", TAnchors{akLeft, akTop}, Rect(20, 30, 60, 50)},
                      AnchorCase{"RightBottom", TAnchors{akRight, akBottom}, Rect(80, 70, 120, 90)},
                      AnchorCase{"AllFourStretch", TAnchors{akLeft, akTop, akRight, akBottom}, Rect(20, 30, 120, 90)},
                      AnchorCase{"NoneKeepsTheMiddle", TAnchors{}, Rect(50, 50, 90, 70)}),
    [](const ::testing::TestParamInfo<AnchorCase>& info) { return std::string(info.param.name); });

using LayoutTest = FormTest;

TEST_F(LayoutTest, HidingAnAlignedChildGivesItsRoomToTheOthers) {
  auto* top = new TPanel(form);
  top->SetParent(form);
  top->SetHeight(50);
  top->SetAlign(alTop);
  auto* client = new TPanel(form);
  client->SetParent(form);
  client->SetAlign(alClient);
  EXPECT_EQ(client->Top(), 50);
  top->SetVisible(false);
  EXPECT_EQ(client->Top(), 0);
  EXPECT_EQ(client->Height(), 300);
  top->SetVisible(true);
  EXPECT_EQ(client->Top(), 50);
}

TEST_F(LayoutTest, AligningSetsTheAnchorsOfTheAlignUnlessTheyWereChosen) {
  auto* p = new TPanel(form);
  p->SetParent(form);
  p->SetAlign(alBottom);
  EXPECT_EQ(p->Anchors(), (TAnchors{akLeft, akRight, akBottom}));
  p->SetAlign(alNone);
  EXPECT_EQ(p->Anchors(), (TAnchors{akLeft, akTop}));
  p->SetAnchors(TAnchors{akRight});
  p->SetAlign(alLeft);
  EXPECT_EQ(p->Anchors(), TAnchors{akRight}) << "anchors of one's own choosing stay";
}

TEST_F(LayoutTest, WindowedChildWindowFollowsItsBounds) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 20, 100, 50);
  ASSERT_TRUE(panel->HandleAllocated());
  win::RECT r;
  win::GetWindowRect(panel->WindowHandle(), &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 100);
  panel->SetAlign(alClient);
  win::GetWindowRect(panel->WindowHandle(), &r);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 300);
}

TEST_F(LayoutTest, ScalingMovesEdgesAndOwnFontsOfAControlAndItsChildren) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 20, 101, 51);
  auto* left = new TLabel(form);
  left->SetParent(panel);
  left->SetBounds(0, 0, 33, 10);
  auto* right = new TLabel(form);
  right->SetParent(panel);
  right->SetBounds(33, 0, 33, 10);
  right->Font()->SetHeight(-12);
  const int inheritedHeight = left->Font()->Height();

  panel->ScaleBy(3, 2);
  EXPECT_EQ(panel->Left(), 15);
  EXPECT_EQ(panel->Top(), 30);
  EXPECT_EQ(panel->Width(), 152) << "the right edge 111 becomes 167 (half away from zero)";
  EXPECT_EQ(left->Left() + left->Width(), right->Left()) << "neighbours stay neighbours";
  EXPECT_EQ(right->Font()->Height(), -18) << "a font of its own grows";
  EXPECT_EQ(left->Font()->Height(), inheritedHeight) << "a parent's font is the parent's";

  panel->ScaleBy(2, 2);
  EXPECT_EQ(panel->Width(), 152) << "a factor of one changes nothing";
}

}  // namespace
}  // namespace qelo::vcl::test
