#pragma once

#include "explorer/propertydata/PropertyTarget.h"

#include <QStringList>

namespace velkaro {

class ExplorerHub;
class ProfileStore;
class UserPrompt;

// What every page of one property sheet shares: the hub with its databases and workers, the
// settings store, the prompt and the item the sheet describes.
struct PropertySheetContext
{
    ExplorerHub& hub;
    ProfileStore& store;
    UserPrompt& prompt;
    PropertyTarget target;
    QStringList shownFailures; // driver messages already shown by this sheet
};

} // namespace velkaro
