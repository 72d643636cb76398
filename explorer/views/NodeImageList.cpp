#include "explorer/views/NodeImageList.h"

#include "explorer/core/NodeImages.h"
#include "resources/VelkaroResources.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <QVector>
#include <array>

namespace velkaro {

namespace {

struct ImageFile
{
    int image;
    const char* name;
};

// In image-number order: the list below is indexed by number.
constexpr ImageFile kImageFiles[] = {
    {NodeImage::Root, "root"},
    {NodeImage::Database, "database"},
    {NodeImage::Table, "table"},
    {NodeImage::Column, "column"},
    {NodeImage::Index, "index"},
    {NodeImage::IndexColumn, "index-column"},
    {NodeImage::SelectedDatabase, "database-selected"},
    {NodeImage::SelectedTable, "table-selected"},
    {NodeImage::SelectedIndex, "index-selected"},
    {NodeImage::View, "view"},
    {NodeImage::SelectedView, "view-selected"},
    {NodeImage::OtherObject, "other"},
    {NodeImage::SelectedOtherObject, "other-selected"},
    {NodeImage::Sequence, "sequence"},
    {NodeImage::SelectedSequence, "sequence-selected"},
    {NodeImage::Synonym, "synonym"},
    {NodeImage::SelectedSynonym, "synonym-selected"},
};

constexpr bool inNumberOrder()
{
    int number = 0;
    for (const ImageFile& file : kImageFiles)
        if (file.image != number++)
            return false;
    return number == NodeImageList::kCount && number == NodeImage::Count;
}
static_assert(inNumberOrder(), "one image file for each image number, in number order");

QPixmap render(const ImageFile& image)
{
    const QString file = QStringLiteral(":/icons/nodes/%1.svg").arg(QLatin1String(image.name));
    QPixmap pixmap(NodeImageList::kSize, NodeImageList::kSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(file);
    if (!renderer.isValid()) {
        qWarning("Node image %s is missing from the resources", qPrintable(file));
        return pixmap;
    }
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

const QVector<QPixmap>& pixmaps()
{
    static const QVector<QPixmap> all = [] {
        initNodeImageResources();
        QVector<QPixmap> list;
        for (const ImageFile& image : kImageFiles)
            list.append(render(image));
        return list;
    }();
    return all;
}

} // namespace

QPixmap NodeImageList::Pixmap(int image)
{
    if (image < 0 || image >= kCount)
        return {};
    return pixmaps().at(image);
}

// Icons are shared: a large catalog's thousands of rows then hold a reference each instead of an
// icon of their own, which makes filling the panes cheaper and lets painting reuse one cache.
QIcon NodeImageList::Icon(int image)
{
    static const QVector<QIcon> icons = [] {
        QVector<QIcon> list;
        for (int each = 0; each < kCount; ++each)
            list.append(QIcon(pixmaps().at(each)));
        return list;
    }();
    return image >= 0 && image < kCount ? icons.at(image) : QIcon(QPixmap());
}

QIcon NodeImageList::NodeIcon(int image, int selectedImage)
{
    // Only the interface thread builds items, so the cache needs no lock.
    static QHash<int, QIcon> icons;
    const int key = (image + 1) * (kCount + 1) + selectedImage + 1;
    auto found = icons.constFind(key);
    if (found != icons.constEnd())
        return *found;
    QIcon icon(Pixmap(image));
    icon.addPixmap(Pixmap(selectedImage), QIcon::Selected);
    icons.insert(key, icon);
    return icon;
}

} // namespace velkaro
