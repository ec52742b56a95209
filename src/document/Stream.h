#pragma once

// The component stream: the byte format of page documents, templates and the theme file.

#include <memory>
#include <string>
#include <string_view>

#include "document/Persistence.h"

namespace tessel {

class TPagelette;

// The root classes a stream may name. The document class is known from the start; any other
// root class registers itself before its files are read (the theme store does).
TClassRegistry& ClassRegistry();
const TClassRegistry& DefaultClassRegistry();

// The stream bytes of `root` (it is not const: writing fills every lazily created slot).
std::string WriteComponent(TComponent& root);
// The bytes of one object's properties as they stand inside a stream (one block of a page),
// for telling whether it changed.
std::string WriteProperties(TPersistent& object);

// Builds a new root object from stream bytes; throws EStreamError with the reader's message.
std::unique_ptr<TComponent> ReadComponent(std::string_view bytes,
                                          const TClassRegistry& registry = DefaultClassRegistry());

// Writes `root` to `path` through a temporary file renamed into place; throws ETesselError
// when the file cannot be written (the previous file then stays as it was).
void WriteComponentFile(const std::string& path, TComponent& root);

// Reads a root object from a file; "Cannot open file %s" when it cannot be opened.
std::unique_ptr<TComponent> ReadComponentFile(
    const std::string& path, const TClassRegistry& registry = DefaultClassRegistry());

// A page document or template; a stream whose root is another class fails with EStreamError.
std::unique_ptr<TPagelette> ReadDocumentFile(const std::string& path);
void WriteDocumentFile(const std::string& path, TPagelette& document);

}  // namespace tessel
