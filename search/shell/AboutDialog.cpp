#include "search/shell/AboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace velkaro {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Zindrel"));
    auto* icon = new QLabel(this);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull())
        programIcon = style()->standardIcon(QStyle::SP_FileDialogContentsView);
    icon->setPixmap(programIcon.pixmap(32, 32));
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Zindrel"), this));
    text->addWidget(new QLabel(QStringLiteral("Version 3.1"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velkaro
