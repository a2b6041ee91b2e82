#include "formats/alias/AliasPix.h"

namespace marbleye {

Status WriteAliasPix(const std::string&, const ImageCanvas&, Host&) { return Status::Fail("No writer in this version."); }

}  // namespace marbleye
