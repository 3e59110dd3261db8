// Tiled object templates: an object placed from a template ("template":
// "rat.tx", a TX or TJ file relative to the map) holds only what differs
// from it. The build reads such an object as Tiled shows it: the
// template's object, with the placed object's own attributes and
// properties over it.
#pragma once

#include <functional>
#include <string>

#include "json_doc.h"
#include "source_fields.h"

namespace yw::pack {

// Finds a template by the name an object gives (relative to the map's
// folder); nullptr when there is no such file, a document with its error
// when it cannot be read. The document must live as long as the build.
using TemplateLoader = std::function<const JsonDoc*(const std::string& name)>;

// Whether two tileset sources, each relative to the folder of the file
// that names it, are the same file.
using SameTileset =
    std::function<bool(const std::string& templateName, const std::string& templateSource,
                       const std::string& mapSource)>;

// Replaces every object of the map's object layers (also inside groups)
// that names a template by the object it stands for. A template that
// cannot be read, or whose tile is in a tileset the map does not use, is
// an error at the object's line; the object is then left out.
void ApplyTemplates(Json& map, SourceReader& in, const TemplateLoader& load,
                    const SameTileset& sameTileset);

}  // namespace yw::pack
