// Internal to the core: the conversion's hot path renders a rounded value
// straight into a field's text.
#pragma once

#include <string>

#include "mensurel/number_text.h"

namespace mensurel {

// Sets `out` to TidyNumberText(FormatStr(value)) without building the
// intermediate strings; `out` keeps its capacity.
void AssignFieldText(Currency value, std::string& out);

} // namespace mensurel
