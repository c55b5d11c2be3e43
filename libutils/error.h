// The single place to stop in a debugger: called just before every
// diagnostic line the programs print.
#pragma once

namespace libutils {

void error();

}  // namespace libutils
