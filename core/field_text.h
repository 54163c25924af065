// Internal to the core: the conversion writes its results with the same
// rendering and tidying as FormatStr and TidyNumberText, straight into a
// field's text.
#pragma once

#include <string>

#include "mensurel/number_text.h"

namespace mensurel {

// Sets `out` to TidyNumberText(FormatStr(value)) without building the
// intermediate strings; `out` keeps its capacity.
void assignFieldText(Currency value, std::string& out);
void assignFieldText(double value, std::string& out);

} // namespace mensurel
