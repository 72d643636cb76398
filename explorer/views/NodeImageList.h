#pragma once

#include <QIcon>
#include <QPixmap>

namespace velkaro {

// The 17 small images of the tree and list panes, rendered once from the SVG files in
// resources/icons/nodes/: 0 root, 1 database, 2 table,
// 3 column, 4 index, 5 index column, 6 selected database, 7 selected table, 8 selected index,
// 9 view, 10 selected view, 11 other object, 12 selected other, 13 sequence, 14 selected
// sequence, 15 synonym, 16 selected synonym.
class NodeImageList final
{
public:
    static constexpr int kCount = 17;
    static constexpr int kSize = 16;

    static QPixmap Pixmap(int image);
    static QIcon Icon(int image);
    // A tree node's icon: image normally, selectedImage when the node is selected.
    static QIcon NodeIcon(int image, int selectedImage);
};

} // namespace velkaro
