#pragma once

namespace velkaro {

class ProfileStore;

// Section "Settings": the main window's size, whether it was maximized and the tree pane's width.
struct WindowPlacement
{
    int width = 640;
    int height = 500;
    int tree = 200;
    bool maximized = false;

    // Stored widths below 200, heights below 100 and tree widths below 50 (or absent ones) fall
    // back to 640, 500 and 200.
    static WindowPlacement Load(const ProfileStore& store);
    bool Save(ProfileStore& store) const; // false when the store could not be written
};

} // namespace velkaro
