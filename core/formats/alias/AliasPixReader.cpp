#include "formats/alias/AliasPix.h"

namespace marbleye {

Status ReadAliasPix(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
