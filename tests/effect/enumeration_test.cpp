// The effect table as QeloEnumEffect and the parameter enumeration list it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effect/effect_frames.h"

namespace qelo::test {
namespace {

struct Param {
  std::u16string name;
  int defaultValue;
  bool operator==(const Param&) const = default;
};

struct Listed {
  int id;
  std::u16string name;
  std::vector<Param> params;
  bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& e, std::ostream* out) {
  *out << "effect " << e.id << " with " << e.params.size() << " parameters";
}

bool NameIsZeroFilled(const char16_t (&name)[QELO_EFFECT_NAME_CHARS]) {
  const std::u16string_view text(name);
  for (size_t i = text.size(); i < QELO_EFFECT_NAME_CHARS; ++i) {
    if (name[i] != 0) return false;
  }
  return true;
}

void CollectParam(const EffectParamInfo* param, void* user) {
  auto* listed = static_cast<Listed*>(user);
  EXPECT_EQ(param->effectId, listed->id);
  EXPECT_TRUE(NameIsZeroFilled(param->name));
  listed->params.push_back({param->name, param->defaultValue});
}

bool CollectEffect(const EffectInfo* effect, void* user) {
  Listed listed{effect->effectId, effect->name, {}};
  EXPECT_TRUE(NameIsZeroFilled(effect->name));
  EXPECT_EQ(effect->reserved, 0);
  if (effect->enumParams != nullptr) effect->enumParams(effect->effectId, CollectParam, &listed);
  static_cast<std::vector<Listed>*>(user)->push_back(listed);
  return true;
}

TEST(EffectTable, ListsEveryEffectInOrderWithItsParameters) {
  const std::vector<Listed> expected = {
      {0, u"Gray", {}},
      {1, u"Invert", {}},
      {2, u"Brightness", {{u"Brightness", 50}}},
      {3, u"Contrast", {{u"Contrast", 50}}},
      {4, u"Gamma", {{u"Gamma", 50}}},
      {5, u"ColorTone", {}},
      {6, u"Emboss", {{u"Emboss", 5}}},
      {7, u"Filp Horizontal", {}},
      {8, u"Filp Vertical", {}},
      {9, u"3DGrid", {{u"Size", 50}, {u"Depth", 20}}},
      {10, u"Noisify", {{u"Level", 50}}},
      {11, u"Posterize", {{u"Level", 10}}},
      {12, u"Solarize", {{u"Threshold", 10}}},
      {13, u"Threshold", {{u"Level", 10}}},
      {14, u"Video", {}},
      {16, u"Halftonem", {}},
  };
  std::vector<Listed> listed;
  QeloEnumEffect(CollectEffect, &listed);
  EXPECT_EQ(listed, expected);
}

TEST(EffectTable, EffectsWithoutParametersHaveNoParameterList) {
  std::vector<int> withoutList;
  QeloEnumEffect(
      [](const EffectInfo* effect, void* user) {
        auto* ids = static_cast<std::vector<int>*>(user);
        if (effect->enumParams == nullptr) ids->push_back(effect->effectId);
        return true;
      },
      &withoutList);
  EXPECT_EQ(withoutList, (std::vector<int>{0, 1, 5, 7, 8, 14, 16}));
}

TEST(EffectTable, StopsWhenTheCallbackAnswersFalse) {
  struct Counter {
    int calls = 0;
    int stopAt;
  };
  for (int stopAt : {1, 3, 16}) {
    Counter counter{0, stopAt};
    QeloEnumEffect(
        [](const EffectInfo*, void* user) {
          auto* c = static_cast<Counter*>(user);
          return ++c->calls < c->stopAt;
        },
        &counter);
    EXPECT_EQ(counter.calls, stopAt);
  }
}

TEST(EffectTable, NullCallbacksAreIgnored) {
  QeloEnumEffect(nullptr, nullptr);
  EnumEffectParams enumParams = nullptr;
  QeloEnumEffect(
      [](const EffectInfo* effect, void* user) {
        *static_cast<EnumEffectParams*>(user) = effect->enumParams;
        return effect->enumParams == nullptr;
      },
      &enumParams);
  ASSERT_NE(enumParams, nullptr);
  enumParams(EFFECT_3D_GRID, nullptr, nullptr);
}

TEST(EffectTable, ParameterListOfAnIdWithoutParametersIsEmpty) {
  EnumEffectParams enumParams = nullptr;
  QeloEnumEffect(
      [](const EffectInfo* effect, void* user) {
        *static_cast<EnumEffectParams*>(user) = effect->enumParams;
        return effect->enumParams == nullptr;
      },
      &enumParams);
  ASSERT_NE(enumParams, nullptr);
  const int ids[] = {EFFECT_VIDEO, EFFECT_GRAY, EFFECT_WAVE, -1, EFFECT_ID_COUNT, 42};
  for (int id : ids) {
    Listed listed{id, u"", {}};
    enumParams(id, CollectParam, &listed);
    EXPECT_TRUE(listed.params.empty()) << "effect " << id;
  }
}

}  // namespace
}  // namespace qelo::test
