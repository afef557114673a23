#pragma once

#include <QDialog>
#include <QFont>
#include <QSize>

namespace lintora {

// The font of every dialog: IPA P Gothic at 12 pixels, standing in for "ＭＳ Ｐゴシック".
QFont dialogFont();

// A modal dialog of the program: fixed client size, a title bar with the close box only, the main
// window's icon, the dialog font, and centred over the main window every time it is shown (also
// after the user has dragged it elsewhere).
class FixedDialog : public QDialog
{
    Q_OBJECT
public:
    FixedDialog(QWidget* mainWindow, const QString& caption, QSize clientSize);

    void setVisible(bool visible) override;
};

} // namespace lintora
