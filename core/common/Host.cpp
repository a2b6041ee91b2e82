#include "common/Host.h"

namespace marbleye {

Host& QuietHost() {
    static Host host;
    return host;
}

}  // namespace marbleye
