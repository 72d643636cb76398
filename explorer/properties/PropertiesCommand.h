#pragma once

#include "explorer/properties/CProps.h"

#include <memory>

namespace velkaro {

class CLeftView;
class CVelkaroView;

// The Properties command: the item is the tree's selected node when the keyboard focus is in the
// tree pane, else the list pane's selected row.
class PropertiesCommand final
{
public:
    PropertiesCommand(CLeftView& tree, CVelkaroView& list, ProfileStore& store, UserPrompt& prompt)
        : m_tree(tree), m_list(list), m_store(store), m_prompt(prompt)
    {}

    // The sheet for the selected item, not yet shown; null (after any message) when none opens.
    std::unique_ptr<CProps> MakeSheet(QWidget* parent) const;
    // Shows that sheet modally.
    void Run(QWidget* parent) const;

private:
    CLeftView& m_tree;
    CVelkaroView& m_list;
    ProfileStore& m_store;
    UserPrompt& m_prompt;
};

} // namespace velkaro
