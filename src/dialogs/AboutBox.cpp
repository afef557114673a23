#include "dialogs/AboutBox.h"

#include "platform/UrlOpener.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

// The icons live in the application library's resources; a static library's resources must be
// registered by hand, from the global namespace.
static void registerProgramIcons()
{
    Q_INIT_RESOURCE(lintora);
}

namespace lintora {

namespace {

// A static text sizes itself to its text, as the designed one did, so a font a little wider than the
// designed one never clips it.
QLabel* staticText(const QString& text, QWidget* parent, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, std::max(width, label->sizeHint().width()), height);
    return label;
}

} // namespace

QString TForm4::supportAddress()
{
    return QStringLiteral("https://lintora.example.org/");
}

TForm4::TForm4(QWidget* mainWindow)
    : FixedDialog(mainWindow, QStringLiteral("Lintora - バージョン情報"), QSize(288, 132))
{
    registerProgramIcons();

    Image1 = new QLabel(this);
    Image1->setGeometry(8, 8, 32, 32);
    Image1->setPixmap(QPixmap(QStringLiteral(":/icons/lintora-32.png")));

    StaticText1 = staticText(QStringLiteral("LintoraDesk ブックマーク管理ツール"), this, 56, 16, 223, 16);
    StaticText2 = staticText(QStringLiteral("Version 1.0.0"), this, 120, 32, 69, 16);
    StaticText3 =
        staticText(QStringLiteral("(C) 2026 LintoraDesk 開発者"), this, 80, 48, 166, 16);
    StaticText4 = staticText(QStringLiteral("サポート情報"), this, 24, 72, 71, 16);
    StaticText5 = staticText(supportAddress(), this, 104, 72, 164, 16);

    // The address looks like a link: blue and underlined, otherwise in the dialog's font.
    QFont linkFont = StaticText5->font();
    linkFont.setUnderline(true);
    StaticText5->setFont(linkFont);
    QPalette linkPalette = StaticText5->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    StaticText5->setPalette(linkPalette);
    StaticText5->setCursor(Qt::PointingHandCursor);
    StaticText5->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(88, 96, 105, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    const std::pair<QWidget*, const char*> names[] = {
        {Image1, "Image1"},           {StaticText1, "StaticText1"}, {StaticText2, "StaticText2"},
        {StaticText3, "StaticText3"}, {StaticText4, "StaticText4"}, {StaticText5, "StaticText5"},
        {Button1, "Button1"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));
}

TForm4::~TForm4() = default;

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StaticText5 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        StaticText5->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        StaticText5Click();
        return true;
    }
    return FixedDialog::eventFilter(watched, event);
}

void TForm4::StaticText5Click()
{
    // Whether the browser could be started is not looked at; the box stays open.
    openInBrowser(supportAddress());
}

} // namespace lintora
