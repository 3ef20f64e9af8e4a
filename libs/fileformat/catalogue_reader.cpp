#include "catalogue_reader.h"

#include <optional>
#include <string>
#include <string_view>

#include "value_parsing.h"
#include "win/codepage.h"
#include "xml/dom_document.h"

namespace qelo::fileformat {
namespace {

using xml::DomNode;

template <std::size_t N>
void CopyText(char16_t (&field)[N], std::string_view text) {
  win::CopyToUtf16Field(field, N, win::Utf8ToUtf16(text));
}

int32_t DecimalAttribute(const DomNode& node, std::string_view name, int32_t absent) {
  const std::optional<std::string> value = node.Attribute(name);
  return value ? ParseDecimal(*value) : absent;
}

// A default index outside [0, count) means the first entry.
int32_t CheckedDefault(int32_t def, int32_t count) { return def >= 0 && def < count ? def : 0; }

// A missing element fails the list; its items come from the text, at most
// as many as the list holds.
bool ReadValueList(FormatCatalogue& catalogue, const DomNode& codec, std::string_view element,
                   ValueKind kind, ValueList& list) {
  const std::optional<DomNode> node = codec.SelectSingleNode(element);
  if (!node) return false;
  const int32_t def = DecimalAttribute(*node, "def", 0);
  const std::string text = node->Text();
  for (std::string_view piece : SplitAtCommas(text)) {
    if (list.count == QELO_CATALOGUE_MAX_VALUES) break;
    const std::optional<ParsedValue> parsed = ParseValue(kind, piece);
    if (!parsed) continue;
    ValueItem* item = catalogue.itemPool.New();
    CopyText(item->text, parsed->text);
    item->value = parsed->value;
    item->value2 = parsed->value2;
    list.items[list.count++] = item;
  }
  list.def = CheckedDefault(def, list.count);
  return true;
}

bool ReadVideoCodec(FormatCatalogue& catalogue, const DomNode& node, VideoCodecDesc& codec) {
  ReadValueList(catalogue, node, "Profile", ValueKind::kNumber, codec.profile);
  ReadValueList(catalogue, node, "Level", ValueKind::kNumber, codec.level);
  return ReadValueList(catalogue, node, "Resolution", ValueKind::kResolution, codec.resolution) &&
         ReadValueList(catalogue, node, "FPS", ValueKind::kFrameRate, codec.fps) &&
         ReadValueList(catalogue, node, "Bitrate", ValueKind::kNumber, codec.bitrate);
}

bool ReadAudioCodec(FormatCatalogue& catalogue, const DomNode& node, AudioCodecDesc& codec) {
  return ReadValueList(catalogue, node, "SampleRate", ValueKind::kNumber, codec.sampleRate) &&
         ReadValueList(catalogue, node, "Channel", ValueKind::kNumber, codec.channel) &&
         ReadValueList(catalogue, node, "SampleBits", ValueKind::kNumber, codec.sampleBits) &&
         ReadValueList(catalogue, node, "Bitrate", ValueKind::kNumber, codec.bitrate);
}

// Where codecs of each kind are kept and how they are read.
template <typename Codec>
struct CodecKind;

template <>
struct CodecKind<VideoCodecDesc> {
  static Pool<VideoCodecDesc>& PoolOf(FormatCatalogue& c) { return c.videoCodecPool; }
  static VideoCodecDesc** Slots(CodecList& list) { return list.codecs.video; }
  static constexpr auto Read = ReadVideoCodec;
};

template <>
struct CodecKind<AudioCodecDesc> {
  static Pool<AudioCodecDesc>& PoolOf(FormatCatalogue& c) { return c.audioCodecPool; }
  static AudioCodecDesc** Slots(CodecList& list) { return list.codecs.audio; }
  static constexpr auto Read = ReadAudioCodec;
};

// A codec missing a required list is dropped together with what was read
// of it.
template <typename Codec>
void ReadCodecList(FormatCatalogue& catalogue, const DomNode& element, CodecList& list) {
  const int32_t def = DecimalAttribute(element, "def", 0);
  for (const DomNode& node : element.SelectNodes("Codec").value_or(std::vector<DomNode>{})) {
    if (list.count == QELO_CATALOGUE_MAX_CODECS) break;
    Pool<Codec>& pool = CodecKind<Codec>::PoolOf(catalogue);
    const std::size_t codecMark = pool.Mark(), itemMark = catalogue.itemPool.Mark();
    Codec* codec = pool.New();
    CopyText(codec->name, node.Attribute("name").value_or(""));
    codec->id = DecimalAttribute(node, "id", 0);
    if (!CodecKind<Codec>::Read(catalogue, node, *codec)) {
      pool.Rollback(codecMark);
      catalogue.itemPool.Rollback(itemMark);
      continue;
    }
    CodecKind<Codec>::Slots(list)[list.count++] = codec;
  }
  list.def = CheckedDefault(def, list.count);
}

void ReadFileFormat(FormatCatalogue& catalogue, const DomNode& node, FileFormatDesc& format) {
  CopyText(format.name, node.Attribute("name").value_or(""));
  format.iconId = DecimalAttribute(node, "iconid", 0);
  if (const auto id = node.SelectSingleNode("Formatid")) format.formatId = ParseDecimal(id->Text());
  if (const auto description = node.SelectSingleNode("Description"))
    CopyText(format.description, description->Text());
  if (const auto video = node.SelectSingleNode("Video"))
    ReadCodecList<VideoCodecDesc>(catalogue, *video, format.video);
  if (const auto audio = node.SelectSingleNode("Audio"))
    ReadCodecList<AudioCodecDesc>(catalogue, *audio, format.audio);
}

bool ReadProfile(FormatCatalogue& catalogue, const DomNode& node, ProfileDesc& profile) {
  CopyText(profile.name, node.Attribute("name").value_or(""));
  profile.property = DecimalAttribute(node, "Property", kGeneralVideo);
  profile.iconId = DecimalAttribute(node, "iconid", -1);
  const auto formats = node.SelectNodes("FileFormat");
  if (!formats) return false;
  for (const DomNode& formatNode : *formats) {
    if (profile.formatCount == kMaxFormats) break;
    FileFormatDesc* format = catalogue.formatPool.New();
    ReadFileFormat(catalogue, formatNode, *format);
    profile.formats[profile.formatCount++] = format;
  }
  return true;
}

bool ReadDocument(FormatCatalogue& catalogue, const xml::DomDocument& document) {
  const std::optional<DomNode> root = document.DocumentElement();
  if (!root) return false;
  for (const DomNode& node : root->SelectNodes("Profile").value_or(std::vector<DomNode>{})) {
    if (catalogue.profileCount == kMaxProfiles) break;
    const std::size_t mark = catalogue.profilePool.Mark();
    ProfileDesc* profile = catalogue.profilePool.New();
    if (ReadProfile(catalogue, node, *profile))
      catalogue.profiles[catalogue.profileCount++] = profile;
    else
      catalogue.profilePool.Rollback(mark);
  }
  return true;
}

}  // namespace

bool ReadCatalogueDocument(FormatCatalogue& catalogue, const void* data, std::size_t size) {
  xml::DomDocument document;
  return document.LoadXml(data, size) && ReadDocument(catalogue, document);
}

// The document is read from the library's memory: no copy of it is written
// anywhere, so no file can be overwritten or left behind.
bool LoadFormatCatalogue(FormatCatalogue& catalogue, const res::ResourceTable& resources) {
  const res::Resource* resource =
      res::FindResource(resources, kCatalogueResourceType, kCatalogueResourceId);
  return resource && ReadCatalogueDocument(catalogue, resource->data, resource->size);
}

}  // namespace qelo::fileformat
