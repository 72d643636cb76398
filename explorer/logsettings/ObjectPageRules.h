#pragma once

namespace velkaro {

// Which detail boxes of the Objects settings page can be changed. Columns exist only for tables,
// views and synonyms, indexes only for tables, index columns only for retrieved indexes.
// Disabling never changes a check mark: a disabled box keeps and stores its state.
struct ObjectPageRules final
{
    struct Checks
    {
        bool tables = false;
        bool views = false;
        bool synonyms = false;
        bool indexes = false;
    };

    struct Enabled
    {
        bool columns = true;
        bool indexes = true;
        bool indexColumns = true;

        bool operator==(const Enabled&) const = default;
    };

    // Depends on the check marks alone: whichever box was clicked last, the rules of the page
    // (enable what a newly checked box allows, then disable what an unchecked one forbids)
    // always end in this state.
    static Enabled Evaluate(const Checks& checks);
};

} // namespace velkaro
