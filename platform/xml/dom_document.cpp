#include "xml/dom_document.h"

namespace qelo::xml {
namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
  return text;
}

void AppendDescendantText(pugi::xml_node node, std::string* text) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
      *text += child.value();
    else if (child.type() == pugi::node_element)
      AppendDescendantText(child, text);
  }
}

}  // namespace

std::optional<std::vector<DomNode>> DomNode::SelectNodes(std::string_view xpath) const {
  try {
    const pugi::xpath_query query(std::string(xpath).c_str());
    std::vector<DomNode> nodes;
    for (const pugi::xpath_node& selected : query.evaluate_node_set(node_))
      if (selected.node()) nodes.emplace_back(selected.node());
    return nodes;
  } catch (const pugi::xpath_exception&) {
    return std::nullopt;
  }
}

std::optional<DomNode> DomNode::SelectSingleNode(std::string_view xpath) const {
  const auto nodes = SelectNodes(xpath);
  if (!nodes || nodes->empty()) return std::nullopt;
  return nodes->front();
}

std::optional<std::string> DomNode::Attribute(std::string_view name) const {
  const pugi::xml_attribute attribute = node_.attribute(std::string(name).c_str());
  if (!attribute) return std::nullopt;
  return std::string(attribute.value());
}

std::string DomNode::Text() const {
  if (node_.type() != pugi::node_element) return std::string(Trim(node_.value()));
  std::string text;
  AppendDescendantText(node_, &text);
  return std::string(Trim(text));
}

bool DomDocument::Accept(const pugi::xml_parse_result& result) {
  if (result) return true;
  document_.reset();
  return false;
}

bool DomDocument::Load(const std::string& path) {
  return Accept(document_.load_file(path.c_str()));
}

bool DomDocument::LoadXml(const void* data, std::size_t size) {
  return Accept(document_.load_buffer(data, size));
}

std::optional<DomNode> DomDocument::DocumentElement() const {
  const pugi::xml_node element = document_.document_element();
  if (!element) return std::nullopt;
  return DomNode(element);
}

}  // namespace qelo::xml
