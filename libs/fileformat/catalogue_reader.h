// Reading the catalogue document into the records of a FormatCatalogue.
#pragma once

#include <cstddef>

#include "catalogue.h"
#include "resource/resource.h"

namespace qelo::fileformat {

// Resource id and type of the catalogue document in the library.
constexpr int kCatalogueResourceId = 103;
constexpr const char* kCatalogueResourceType = "XML";

// Reads the document held by `resources` and appends its profiles to
// `catalogue`; false when the resource is missing or does not parse.
bool LoadFormatCatalogue(FormatCatalogue& catalogue, const res::ResourceTable& resources);

// The same for a document in memory.
bool ReadCatalogueDocument(FormatCatalogue& catalogue, const void* data, std::size_t size);

}  // namespace qelo::fileformat
