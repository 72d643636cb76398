#pragma once

#include <QDialog>

namespace velkaro {

// "About Zindrel": the program's icon, name and version.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace velkaro
