#include "gamekinds.h"

namespace {

const GameKind kKinds[] = {
    {"snake", "贪吃蛇", "方向键或 WASD 控制方向，空格键暂停／继续，吃到金币得分。"},
    {"breakout", "打砖块", "移动鼠标或按左右方向键控制挡板，点击或按空格键发球，打碎全部砖块。"},
    {"reaction", "点靶子", "30 秒内点击画面中出现的靶子，越快点中得分越高，点空扣分。"},
};

} // namespace

const GameKind *findGameKind(const std::string &id)
{
    for (const GameKind &kind : kKinds) {
        if (id == kind.id)
            return &kind;
    }
    return nullptr;
}
