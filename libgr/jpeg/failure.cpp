#include "libgr/jpeg/failure.h"

#include <iostream>

#include "libutils/error.h"

namespace libgr {

bool fail(const std::string& line) {
    libutils::error();
    std::cerr << line << std::endl;
    return false;
}

}  // namespace libgr
