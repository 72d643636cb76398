#pragma once

#include "catalog/CatalogHost.h"

#include <cstdio>

namespace velkaro {

// The catalog retrieval's host in a program without a tree: nodes are only counted, the
// retrieval keeps the explorer's default choices, and the driver's errors go to the error stream.
class ReportBatchHost final : public CatalogHost
{
public:
    explicit ReportBatchHost(std::FILE* errors);

    CatalogNode InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                 const QString& type) override;
    CatalogNode InsertIndexNode(CatalogNode objectNode, const QString& indexName) override;
    void RepaintTree() override {}
    bool TerminateRequested() const override { return false; }
    CatalogSettings GetCatalogSettings() const override { return m_settings; }
    void WriteLog(const QString& message, bool applyOpenMode = false) override;

private:
    std::FILE* m_errors;
    CatalogSettings m_settings;
    // Any address serves as a node: the retrieval only tests it for null.
    char m_node = 0;
};

} // namespace velkaro
