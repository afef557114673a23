#include "mainwindow/InfoDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace lintora {

namespace {

QLineEdit* makeEdit(QGroupBox* box)
{
    auto* edit = new QLineEdit(box);
    edit->setGeometry(8, 16, 305, 17);
    // The edit has no limit of its own: whatever the file holds can be shown and written back.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

} // namespace

TForm2::TForm2(QWidget* mainWindow)
    : FixedDialog(mainWindow, QStringLiteral("Lintora - 情報の変更"), QSize(337, 133))
{
    setObjectName(QStringLiteral("Form2"));

    GroupBox1 = new QGroupBox(QStringLiteral("ＵＲＬ"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 56, 321, 41);
    GroupBox2 = new QGroupBox(QStringLiteral("コメント"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 8, 321, 41);

    useCaptionOnFrameLine(GroupBox1);
    useCaptionOnFrameLine(GroupBox2);

    Edit1 = makeEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = makeEdit(GroupBox2);
    Edit2->setObjectName(QStringLiteral("Edit2"));

    Button1 = new QPushButton(QStringLiteral("設定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(120, 104, 97, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(224, 104, 97, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // Comment first, then URL, then the buttons.
    setTabOrder(Edit2, Edit1);
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
}

TForm2::~TForm2() = default;

void TForm2::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    FormShow();
}

void TForm2::FormShow()
{
    Edit2->setFocus(Qt::OtherFocusReason);
}

} // namespace lintora
