#include "explorer/core/NodeImages.h"

namespace velkaro {

NodeImages ObjectNodeImages(const QString& type)
{
    if (type == QLatin1String("TABLE"))
        return {NodeImage::Table, NodeImage::SelectedTable};
    if (type == QLatin1String("VIEW"))
        return {NodeImage::View, NodeImage::SelectedView};
    if (type == QLatin1String("SEQUENCE"))
        return {NodeImage::Sequence, NodeImage::SelectedSequence};
    if (type == QLatin1String("SYNONYM"))
        return {NodeImage::Synonym, NodeImage::SelectedSynonym};
    return {NodeImage::OtherObject, NodeImage::SelectedOtherObject};
}

int ObjectListImage(const QString& type)
{
    return ObjectNodeImages(type).image;
}

} // namespace velkaro
