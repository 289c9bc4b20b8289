#pragma once
// How zelvano-deal speaks on standard error.
#include "core/files/FileUtil.h"

#include <ostream>
#include <string_view>

namespace zelv {

// "zelvano-deal: <message>" on a line of its own. Messages quote the bytes
// of files and paths, so every control character in them is written out.
inline void Say(std::ostream& err, std::string_view message) { err << "zelvano-deal: " << Printable(message) << "\n"; }

} // namespace zelv
