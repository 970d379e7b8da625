// The status page: one Russian HTML page for a phone that asks /api/status every
// 2 s and shows plainly when the program has stopped answering.
#pragma once

#include <string>

namespace flextor {

const std::string& StatusPageHtml();

}  // namespace flextor
