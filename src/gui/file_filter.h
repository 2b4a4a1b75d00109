#pragma once
#include <string>

namespace molvane {

// The pages name their file types as "Text (*.txt)|*.txt||" (pairs of label and patterns, the
// patterns separated by ';', the list ended by an empty label). Qt wants
// "Text (*.txt);;Excel (*.xls)". Pairs without a pattern are left out; an empty result lets
// the dialog show every file.
std::string QtFileFilter(const std::string& filter);

}  // namespace molvane
