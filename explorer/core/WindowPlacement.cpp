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

WindowPlacement WindowPlacement::Load(const ProfileStore& store)
{
    WindowPlacement placement;
    placement.width = atLeast(kWidth.Read(store), 200, 640);
    placement.height = atLeast(kHeight.Read(store), 100, 500);
    placement.tree = atLeast(kTree.Read(store), 50, 200);
    placement.maximized = kMaximized.Read(store) != 0;
    return placement;
}

bool WindowPlacement::Save(ProfileStore& store) const
{
    bool written = kWidth.Write(store, width);
    written = kHeight.Write(store, height) && written;
    written = kMaximized.Write(store, maximized ? 1 : 0) && written;
    return kTree.Write(store, tree) && written;
}

} // namespace velkaro
