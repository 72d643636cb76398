#pragma once

#include <QDialog>

namespace velkaro {

// "About Velkaro": the program's icon, name and version line.
class CAboutDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace velkaro
