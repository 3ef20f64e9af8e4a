// The part of an XML document object model that the catalogue reads
// through: load a document, take its document element, select nodes by XPath
// relative to a node, look up attributes and read a node's text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace qelo::xml {

class DomNode {
 public:
  explicit DomNode(pugi::xml_node node) : node_(node) {}

  // Nodes that the XPath expression selects from this node, in document
  // order; no list when the expression is not valid XPath.
  std::optional<std::vector<DomNode>> SelectNodes(std::string_view xpath) const;
  // The first node selected, if any.
  std::optional<DomNode> SelectSingleNode(std::string_view xpath) const;

  // The attribute's value; no value when the attribute is missing, an empty
  // one when it is present and empty.
  std::optional<std::string> Attribute(std::string_view name) const;

  // The text of all descendants joined, without leading or trailing white
  // space.
  std::string Text() const;

 private:
  pugi::xml_node node_;
};

class DomDocument {
 public:
  // Both loads replace what the document held; false when the bytes cannot
  // be read or do not parse, and the document is then empty.
  bool Load(const std::string& path);
  bool LoadXml(const void* data, std::size_t size);

  // No element when nothing has been loaded.
  std::optional<DomNode> DocumentElement() const;

 private:
  bool Accept(const pugi::xml_parse_result& result);

  pugi::xml_document document_;
};

}  // namespace qelo::xml
