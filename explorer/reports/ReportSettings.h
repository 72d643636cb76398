#pragma once

#include <QString>

namespace velkaro {

class ProfileStore;

// Section "Report": the choices of the Reports dialog, kept between reports.
struct ReportSettings
{
    bool columns = true;         // RDC
    bool onlyWithColumns = true; // ROC
    bool indexes = true;         // RDI
    bool primaryKeys = true;     // RDP
    bool foreignKeys = true;     // RDF
    bool toFile = false;         // ROF
    bool pageBreak = false;      // RPB
    QString fileName;            // RPF
    QString database;            // Look

    static ReportSettings Load(const ProfileStore& store);
    // In the order RDC, RDI, ROC, RDP, RDF, ROF, RPB, RPF, Look; false when the store could not be written.
    bool Save(ProfileStore& store) const;
};

} // namespace velkaro
