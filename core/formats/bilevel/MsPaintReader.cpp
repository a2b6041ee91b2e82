#include "formats/bilevel/Bilevel.h"

namespace marbleye {

Status ReadMsPaint(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
