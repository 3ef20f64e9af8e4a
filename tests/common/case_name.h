// Names for the cases of value-parameterised suites: a case's `name`
// with every character a test name cannot hold turned into '_'.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace qelo::test {

struct CaseName {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    std::string name = info.param.name;
    for (char& ch : name)
      if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
  }
};

}  // namespace qelo::test
