#pragma once
#include <string>
#include <vector>

#include "pages/ui_services.h"

namespace molvane {

// Qt's spelling of a type list: "Text Files (*.txt);;All Files (*)". A label that already shows
// its patterns is not doubled; types without a pattern are left out; "*.*" means every file,
// also one without a dot in its name.
std::string QtFileFilter(const std::vector<FileType>& types);

// The extension a typed name without one gets: the selected type's own ("xls" for "*.xls"),
// otherwise none. A type of many patterns or of every file gives none either.
std::string SuffixForType(const FileType& type);

}  // namespace molvane
