#include "mainwindow/FindDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace lintora {

TForm6::TForm6(QWidget* mainWindow)
    : FixedDialog(mainWindow, QStringLiteral("Lintora - 検索"), QSize(337, 102))
{
    GroupBox1 = new QGroupBox(QStringLiteral("検索する文字列"), this);
    GroupBox1->setGeometry(8, 8, 321, 57);
    useCaptionOnFrameLine(GroupBox1);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setGeometry(8, 16, 305, 20);
    Button1 = new QPushButton(QStringLiteral("実行"), this);
    Button1->setGeometry(120, 72, 97, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button2->setGeometry(224, 72, 97, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    const std::pair<QWidget*, const char*> names[] = {
        {GroupBox1, "GroupBox1"}, {Edit1, "Edit1"}, {Button1, "Button1"}, {Button2, "Button2"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));

    // Empty once, at creation: from then on the text stays from one find to the next.
    Edit1->clear();
}

TForm6::~TForm6() = default;

QString TForm6::searchText() const
{
    return Edit1->text();
}

void TForm6::setSearchText(const QString& text)
{
    Edit1->setText(text);
}

void TForm6::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    Edit1->setFocus();
}

} // namespace lintora
