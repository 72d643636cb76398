#pragma once

#include "explorer/hub/ExplorerHub.h"
#include "explorer/properties/PropertySheetContext.h"

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QFormLayout;
class QLabel;
class QVBoxLayout;

namespace velkaro {

// One page of a property sheet. A page fills itself the first time it is shown; its queries run
// on property threads and come back to the interface thread, where they are dropped once the
// page is detached (the sheet's OK or Cancel) or gone.
class CPropPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropPage)

public:
    CPropPage(PropertySheetContext& context, QWidget* parent = nullptr);
    ~CPropPage() override;

    // Results that arrive from now on are dropped.
    void Detach() { m_alive->store(false); }
    bool Initialised() const { return m_initialised; }

protected:
    void showEvent(QShowEvent* event) override;
    virtual void InitPage() = 0;

    // The item kind's icon in the top left corner (the "General" pages).
    void AddIcon(int image);
    // A read-only value with its label, in the page's own form or in form.
    QLabel* AddField(const QString& label, QFormLayout* form = nullptr);
    QFormLayout* AddGroup(const QString& title);
    void AddNote(const QString& text);
    QVBoxLayout* PageLayout() const { return m_layout; }

    // Runs work on a property thread and deliver with its result on the interface thread, while
    // the page still takes results. False when no thread could be started.
    template <class Result>
    bool RunInBackground(std::function<Result()> work, std::function<void(const Result&)> deliver)
    {
        return m_context.hub.Workers().StartPropertyWork([work = std::move(work),
                                                          deliver = std::move(deliver),
                                                          alive = m_alive]() -> std::function<void()> {
            auto result = std::make_shared<const Result>(work());
            return [result, deliver, alive] {
                if (alive->load())
                    deliver(*result);
            };
        });
    }
    // Shows a failed call's driver message, once per sheet.
    void ReportFailure(const QString& failure);
    // The database's objects now (a snapshot).
    ObjectSnapshot Objects() const;

    PropertySheetContext& m_context;

private:
    QVBoxLayout* m_layout;
    QFormLayout* m_form = nullptr;
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
    bool m_initialised = false;
};

} // namespace velkaro
