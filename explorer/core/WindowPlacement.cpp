#include "explorer/core/WindowPlacement.h"

#include "common/ProfileStore.h"

namespace velkaro {

namespace {
const IntSetting kWidth{"Settings", "Width", 0};
const IntSetting kHeight{"Settings", "Height", 0};
const IntSetting kMaximized{"Settings", "Maximized", 0};
const IntSetting kTree{"Settings", "Tree", 0};

int atLeast(int stored, int minimum, int fallback)
{
    return stored < minimum ? fallback : stored;
}
} // namespace

WindowPlacement WindowPlacement::load(const ProfileStore& store)
{
    WindowPlacement placement;
    placement.width = atLeast(kWidth.read(store), 200, 640);
    placement.height = atLeast(kHeight.read(store), 100, 500);
    placement.tree = atLeast(kTree.read(store), 50, 200);
    placement.maximized = kMaximized.read(store) != 0;
    return placement;
}

bool WindowPlacement::save(ProfileStore& store) const
{
    bool written = kWidth.write(store, width);
    written = kHeight.write(store, height) && written;
    written = kMaximized.write(store, maximized ? 1 : 0) && written;
    return kTree.write(store, tree) && written;
}

} // namespace velkaro
