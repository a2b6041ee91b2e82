#include "formats/icon/Icon.h"

namespace marbleye {

Status ReadIcon(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
