#pragma once

#include <QDialog>
#include <QFont>
#include <QSize>

class QGroupBox;

namespace lintora {

// The font of every dialog: IPA P Gothic at 12 pixels, standing in for "ＭＳ Ｐゴシック".
QFont dialogFont();

// Draws a group frame the way the dialogs were laid out for: the frame line runs through the middle
// of the caption, so that controls placed a line below the top edge sit inside the frame.
void useCaptionOnFrameLine(QGroupBox* group);

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
