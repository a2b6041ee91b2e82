#include "formats/photocd/PhotoCd.h"

namespace marbleye {

Status ReadPhotoCd(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
