#pragma once

#include "explorer/core/DatabaseEntry.h"
#include "explorer/reports/ReportSettings.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;

namespace velkaro {

class ExplorerHub;
class ProfileStore;
class UserPrompt;
struct ReportFlags;

// "Reports": choose a database, its objects and the sections, then print them to a file or a printer.
// The report runs on a worker thread of the explorer while a progress box is shown; the dialog
// stays open for further reports.
class CReportsDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportsDlg)

public:
    // Sets up the printer the user chose; false when the choice was cancelled.
    using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
    static constexpr int kDoneTestMs = 1000;

    CReportsDlg(ExplorerHub& hub, ProfileStore& store, UserPrompt& prompt, QWidget* parent = nullptr);
    ~CReportsDlg() override;

    // The print dialog by default; tests choose a PDF printer without one.
    void SetPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }

    QComboBox* DatabaseBox() const { return m_database; }
    QCheckBox* OnlyWithColumnsBox() const { return m_onlyWithColumns; }
    QListWidget* AvailableList() const { return m_available; }
    QListWidget* ChosenList() const { return m_chosen; }
    QCheckBox* ColumnsBox() const { return m_columns; }
    QCheckBox* IndexesBox() const { return m_indexes; }
    QCheckBox* PrimaryKeysBox() const { return m_primaryKeys; }
    QCheckBox* ForeignKeysBox() const { return m_foreignKeys; }
    QCheckBox* ToFileBox() const { return m_toFile; }
    QLineEdit* FileNameEdit() const { return m_fileName; }
    QPushButton* BrowseButton() const { return m_browse; }
    QCheckBox* PageBreakBox() const { return m_pageBreak; }
    QPushButton* PrintButton() const { return m_print; }
    QPushButton* MoveButton() const { return m_move; }
    QPushButton* MoveAllButton() const { return m_moveAll; }
    QPushButton* BackButton() const { return m_back; }
    QPushButton* BackAllButton() const { return m_backAll; }

    // The "Print" button.
    void Print();

signals:
    void HelpRequested();

private:
    QWidget* CreateDatabaseGroup();
    QWidget* CreateObjectGroup();
    QWidget* CreateOptionsGroup();
    void LoadSettings();
    ReportSettings CurrentSettings() const;
    void ApplyOutputRule();
    void FillObjectLists();
    void MoveSelected(QListWidget* from, QListWidget* to);
    void MoveAll(QListWidget* from, QListWidget* to);
    void ChooseFile();
    DatabaseEntryPtr SelectedEntry() const;
    bool StartReport(const DatabaseEntryPtr& entry, const ReportSettings& settings);
    void WaitUntilDone(const ReportFlags& flags) const;

    ExplorerHub& m_hub;
    ProfileStore& m_store;
    UserPrompt& m_prompt;
    PrinterChooser m_choosePrinter;
    QComboBox* m_database = nullptr;
    QCheckBox* m_onlyWithColumns = nullptr;
    QListWidget* m_available = nullptr;
    QListWidget* m_chosen = nullptr;
    QPushButton* m_move = nullptr;
    QPushButton* m_moveAll = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_backAll = nullptr;
    QCheckBox* m_columns = nullptr;
    QCheckBox* m_indexes = nullptr;
    QCheckBox* m_primaryKeys = nullptr;
    QCheckBox* m_foreignKeys = nullptr;
    QCheckBox* m_toFile = nullptr;
    QLineEdit* m_fileName = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_pageBreak = nullptr;
    QPushButton* m_print = nullptr;
};

} // namespace velkaro
