#pragma once

#include "catalog/ObjectRecord.h"

#include <QString>
#include <functional>
#include <vector>

namespace velkaro {

// One chosen entry of the report: every object of that name, or the one of that owner.
struct ReportChoice
{
    QString name;
    QString owner;
    bool anyOwner = true;

    bool Matches(const ObjectRecord& object) const;
};

// The sections to write.
struct ReportSections
{
    bool columns = true;
    bool indexes = true;
    bool primaryKeys = true;
    bool foreignKeys = true;

    bool Any() const { return columns || indexes || primaryKeys || foreignKeys; }
};

// What one report writes: the chosen objects in their order and the sections.
struct ReportRequest
{
    std::vector<ReportChoice> choices;
    ReportSections sections;
    // Page Break between objects (paper only).
    bool pageBreak = false;
    // True while a load or refresh works on the database: the key sections are left out then.
    std::function<bool()> databaseInUse;
    // Asked before each object and each line; false cancels the report.
    std::function<bool()> mayContinue;
};

} // namespace velkaro
