#pragma once

#include <QDialog>
#include <QTextDocument>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velkaro {

// The modeless "Find" dialog over the report: find only, always downwards.
class ReportFindDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportFindDialog)

public:
    explicit ReportFindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    QTextDocument::FindFlags Flags() const;

signals:
    void FindNext();

private:
    QLineEdit* m_text = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QPushButton* m_findNext = nullptr;
};

} // namespace velkaro
