#include "libgr/jpeg/failure.h"

#include <iostream>

#include "libutils/error.h"

namespace libgr {

void report(const std::string& line) {
    libutils::error();
    std::cerr << line << std::endl;
}

}  // namespace libgr
