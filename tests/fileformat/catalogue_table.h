// The catalogue's profiles and formats as the design lists them: names,
// container ids, icon ids and the codecs of each format by name and id.
#pragma once

#include <string>
#include <vector>

namespace qelo::test {

struct CodecEntry {
  std::string name;
  int id;
};

struct FormatEntry {
  std::string name;
  int formatId;
  int iconId;
  std::vector<CodecEntry> video;
  std::vector<CodecEntry> audio;
};

struct ProfileEntry {
  std::string name;
  int property;
  int iconId;
  std::vector<FormatEntry> formats;
};

const std::vector<ProfileEntry>& ExpectedCatalogue();

// Profile and format positions of formats that the tests name.
constexpr int kGeneralVideo = 0, kGeneralAudio = 1, kMobilePhone = 9;
constexpr int kBlackBerry3gp = 2;  // in the Mobile Phone profile, AMR sound only

}  // namespace qelo::test
