#include "win32/app/Program.h"

namespace marbleye::win32 {

Program& App() {
    static Program program;
    return program;
}

}  // namespace marbleye::win32
