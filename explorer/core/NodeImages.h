#pragma once

#include <QString>

namespace velkaro {

// Image numbers in the explorer's image list.
struct NodeImages
{
    int image;
    int selectedImage;
};

namespace NodeImage {
constexpr int Root = 0;
constexpr int Database = 1;
constexpr int Table = 2;
constexpr int Column = 3;
constexpr int Index = 4;
constexpr int IndexColumn = 5;
constexpr int SelectedDatabase = 6;
constexpr int SelectedTable = 7;
constexpr int SelectedIndex = 8;
constexpr int View = 9;
constexpr int SelectedView = 10;
constexpr int OtherObject = 11;
constexpr int SelectedOtherObject = 12;
constexpr int Sequence = 13;
constexpr int SelectedSequence = 14;
constexpr int Synonym = 15;
constexpr int SelectedSynonym = 16;
constexpr int Count = 17;
} // namespace NodeImage

// TABLE 2/7, VIEW 9/10, SEQUENCE 13/14, SYNONYM 15/16, any other type 11/12 (exact type text).
NodeImages ObjectNodeImages(const QString& type);
// The list pane row image of an object: the unselected image of its tree node.
int ObjectListImage(const QString& type);

} // namespace velkaro
