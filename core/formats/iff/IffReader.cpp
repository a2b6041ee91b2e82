#include "formats/iff/Iff.h"

namespace marbleye {

Status ReadIff(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
