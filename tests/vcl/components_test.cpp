#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sample_components.h"
#include "vcl/classes.h"

namespace qelo::vcl::test {
namespace {

// Records what it is told and whether it is being destroyed at that moment.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<std::string> heard;
  TComponent* watched = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == watched) watched = nullptr;
    std::string what = operation == opInsert ? "+" : "-";
    what += component->Name();
    if (component->ComponentState().Contains(csDestroying)) what += " (destroying)";
    heard.push_back(what);
  }
};

TEST(Components, OwnerFreesWhatItOwnsAndForgetsWhatIsFreedAlone) {
  auto* owner = new TComponent(nullptr);
  auto* a = new TWatcher(owner);
  a->SetName("a");
  auto* b = new TWatcher(owner);
  b->SetName("b");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(owner->FindComponent("B"), b);
  EXPECT_EQ(a->heard, std::vector<std::string>({"+"}));  // b was inserted before it had a name

  b->Free();  // siblings hear of it through the owner
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(a->heard, std::vector<std::string>({"+", "-b (destroying)"}));
  owner->Free();  // frees a; ASan reports a leak or a double free otherwise
}

TEST(Components, NamesAreIdentifiersAndUniqueUnderOneOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("btnStart");
  EXPECT_THROW(b->SetName("BTNSTART"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  for (const char* bad : {"1abc", "a b", "a.b", "a-b"}) EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
  b->SetName("btnStop");
  a->SetName("btnStart");  // unchanged: no clash with itself
  a->SetName("");
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_THROW(owner.Components(2), EComponentError);
}

TEST(Components, InsertingIntoItselfOrItsOwnChainIsRefused) {
  TComponent top(nullptr);
  auto* middle = new TComponent(&top);
  auto* bottom = new TComponent(middle);
  EXPECT_THROW(bottom->InsertComponent(&top), EComponentError);
  EXPECT_THROW(middle->InsertComponent(middle), EComponentError);
  top.InsertComponent(bottom);  // moves from middle to top
  EXPECT_EQ(bottom->Owner(), &top);
  EXPECT_EQ(middle->ComponentCount(), 0);
}

// A watcher under one owner follows a component under another owner; both
// orders of destroying the two owners leave nothing dangling.
class FreeNotificationOrder : public ::testing::TestWithParam<bool> {};

TEST_P(FreeNotificationOrder, EitherSideMayGoFirst) {
  auto* watcherOwner = new TComponent(nullptr);
  auto* watchedOwner = new TComponent(nullptr);
  auto* watcher = new TWatcher(watcherOwner);
  auto* watched = new TComponent(watchedOwner);
  watched->SetName("watched");
  watcher->watched = watched;
  watched->FreeNotification(watcher);
  if (GetParam()) {
    watchedOwner->Free();
    EXPECT_EQ(watcher->watched, nullptr);
    EXPECT_EQ(watcher->heard, std::vector<std::string>({"-watched (destroying)"}));
    watcherOwner->Free();
  } else {
    watcherOwner->Free();  // the watched one must forget the watcher
    watchedOwner->Free();
  }
}

INSTANTIATE_TEST_SUITE_P(Components, FreeNotificationOrder, ::testing::Bool());

TEST(Components, RemovedFreeNotificationIsNotSent) {
  TWatcher watcher(nullptr);
  auto* watched = new TComponent(nullptr);
  watched->FreeNotification(&watcher);
  watched->FreeNotification(&watcher);  // twice is once
  watched->RemoveFreeNotification(&watcher);
  watched->Free();
  EXPECT_TRUE(watcher.heard.empty());
}

TEST(Components, PlainDeleteStillTearsDownLikeFree) {
  TWatcher watcher(nullptr);
  auto* owner = new TComponent(nullptr);
  auto* child = new TComponent(owner);
  child->SetName("child");
  child->FreeNotification(&watcher);
  delete owner;
  EXPECT_EQ(watcher.heard, std::vector<std::string>({"-child (destroying)"}));
}

TEST(Components, OwnerFieldsFollowNamesAndLifetimes) {
  TfrmSample form(nullptr);
  auto* panel = new TSamplePanel(&form);
  EXPECT_EQ(form.pnlTop, nullptr);
  panel->SetName("pnlTop");
  EXPECT_EQ(form.pnlTop, panel);
  panel->SetName("pnlInner");
  EXPECT_EQ(form.pnlTop, nullptr);
  EXPECT_EQ(form.pnlInner, panel);
  panel->Free();
  EXPECT_EQ(form.pnlInner, nullptr);
}

TEST(Components, DesigningReachesOwnedComponentsAndLaterOnes) {
  TComponent owner(nullptr);
  auto* early = new TComponent(&owner);
  owner.SetDesigning(true);
  auto* late = new TComponent(&owner);
  EXPECT_TRUE(early->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false);
  EXPECT_FALSE(late->ComponentState().Contains(csDesigning));
}

TEST(Persistent, AssignOfUnrelatedClassesNamesBoth) {
  TSampleFont font;
  TComponent component(nullptr);
  try {
    font.Assign(&component);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TComponent to a TSampleFont");
  }
  EXPECT_THROW(font.Assign(nullptr), EConvertError);
}

TEST(Persistent, SubObjectsReportEachRealChange) {
  TSampleFont font, other;
  int changes = 0;
  font.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &font);
    ++changes;
  };
  font.SetColor(0xFF);
  font.SetColor(0xFF);  // unchanged: no report
  other.SetName("Verdana");
  font.Assign(&other);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(font.Name(), "Verdana");
  EXPECT_EQ(font.Color(), 0u);
}

}  // namespace
}  // namespace qelo::vcl::test
