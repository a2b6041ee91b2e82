#include "formats/legacy/Legacy.h"

namespace marbleye {

Status ReadGem(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
