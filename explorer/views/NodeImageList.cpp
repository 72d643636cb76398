#include "explorer/views/NodeImageList.h"

#include <QHash>
#include <QPainter>
#include <QVector>

namespace velkaro {

namespace {

enum class Shape
{
    Disc,
    Cylinder,
    Grid,
    Bar,
    Key,
    Dot,
    Frame,
    Stack,
    Arrow
};

struct ImageLook
{
    Shape shape;
    QColor colour;
    bool selected;
};

ImageLook lookOf(int image)
{
    switch (image) {
    case 0:
        return {Shape::Disc, QColor(60, 110, 190), false};
    case 1:
        return {Shape::Cylinder, QColor(200, 150, 40), false};
    case 2:
        return {Shape::Grid, QColor(50, 120, 60), false};
    case 3:
        return {Shape::Bar, QColor(90, 90, 90), false};
    case 4:
        return {Shape::Key, QColor(170, 60, 60), false};
    case 5:
        return {Shape::Dot, QColor(170, 60, 60), false};
    case 6:
        return {Shape::Cylinder, QColor(200, 150, 40), true};
    case 7:
        return {Shape::Grid, QColor(50, 120, 60), true};
    case 8:
        return {Shape::Key, QColor(170, 60, 60), true};
    case 9:
        return {Shape::Frame, QColor(110, 70, 160), false};
    case 10:
        return {Shape::Frame, QColor(110, 70, 160), true};
    case 11:
        return {Shape::Stack, QColor(120, 120, 120), false};
    case 12:
        return {Shape::Stack, QColor(120, 120, 120), true};
    case 13:
        return {Shape::Arrow, QColor(30, 130, 150), false};
    case 14:
        return {Shape::Arrow, QColor(30, 130, 150), true};
    case 15:
        return {Shape::Disc, QColor(160, 100, 40), false};
    default:
        return {Shape::Disc, QColor(160, 100, 40), true};
    }
}

void drawShape(QPainter& painter, Shape shape)
{
    switch (shape) {
    case Shape::Disc:
        painter.drawEllipse(2, 2, 11, 11);
        break;
    case Shape::Cylinder:
        painter.drawRect(3, 4, 9, 9);
        painter.drawEllipse(3, 1, 9, 5);
        break;
    case Shape::Grid:
        painter.drawRect(1, 2, 13, 11);
        painter.drawLine(1, 6, 14, 6);
        painter.drawLine(7, 6, 7, 13);
        break;
    case Shape::Bar:
        painter.drawRect(5, 1, 5, 13);
        break;
    case Shape::Key:
        painter.drawEllipse(1, 4, 6, 6);
        painter.drawLine(7, 7, 14, 7);
        painter.drawLine(12, 7, 12, 11);
        break;
    case Shape::Dot:
        painter.drawEllipse(5, 5, 5, 5);
        break;
    case Shape::Frame:
        painter.drawRect(1, 2, 13, 11);
        painter.drawRect(4, 5, 7, 5);
        break;
    case Shape::Stack:
        painter.drawRect(1, 1, 9, 9);
        painter.drawRect(5, 5, 9, 9);
        break;
    case Shape::Arrow:
        painter.drawPolygon(QPolygon({QPoint(2, 3), QPoint(13, 8), QPoint(2, 13)}));
        break;
    }
}

QPixmap draw(int image)
{
    QPixmap pixmap(NodeImageList::kSize, NodeImageList::kSize);
    pixmap.fill(Qt::transparent);
    const ImageLook look = lookOf(image);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.colour.darker(150), 1));
    painter.setBrush(look.selected ? look.colour.lighter(150) : look.colour);
    drawShape(painter, look.shape);
    if (look.selected) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(0, 0, NodeImageList::kSize - 1, NodeImageList::kSize - 1);
    }
    return pixmap;
}

const QVector<QPixmap>& pixmaps()
{
    static const QVector<QPixmap> all = [] {
        QVector<QPixmap> list;
        for (int image = 0; image < NodeImageList::kCount; ++image)
            list.append(draw(image));
        return list;
    }();
    return all;
}

} // namespace

QPixmap NodeImageList::pixmap(int image)
{
    if (image < 0 || image >= kCount)
        return {};
    return pixmaps().at(image);
}

// Icons are shared: a large catalog's thousands of rows then hold a reference each instead of an
// icon of their own, which makes filling the panes cheaper and lets painting reuse one cache.
QIcon NodeImageList::icon(int image)
{
    static const QVector<QIcon> icons = [] {
        QVector<QIcon> list;
        for (int each = 0; each < kCount; ++each)
            list.append(QIcon(pixmaps().at(each)));
        return list;
    }();
    return image >= 0 && image < kCount ? icons.at(image) : QIcon(QPixmap());
}

QIcon NodeImageList::nodeIcon(int image, int selectedImage)
{
    // Only the interface thread builds items, so the cache needs no lock.
    static QHash<int, QIcon> icons;
    const int key = (image + 1) * (kCount + 1) + selectedImage + 1;
    auto found = icons.constFind(key);
    if (found != icons.constEnd())
        return *found;
    QIcon icon(pixmap(image));
    icon.addPixmap(pixmap(selectedImage), QIcon::Selected);
    icons.insert(key, icon);
    return icon;
}

} // namespace velkaro
