#include "formats/mng/Mng.h"

#include "formats/mng/MngPlayer.h"

namespace marbleye {

Status ReadMng(const std::string& path, LoadContext& context) {
    MngPlayer player;
    return player.ShowFirstFrame(path, context);
}

}  // namespace marbleye
