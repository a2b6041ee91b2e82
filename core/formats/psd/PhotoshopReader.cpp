#include "formats/psd/Photoshop.h"

namespace marbleye {

Status ReadPhotoshop(const std::string&, LoadContext&) { return Status::Fail("No reader in this version."); }

}  // namespace marbleye
