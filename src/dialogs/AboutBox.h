#pragma once

#include "app/FixedDialog.h"

class QLabel;
class QPushButton;

namespace lintora {

// The about box "Lintora - バージョン情報": the program's icon, name, version, copyright and the
// support page's address, which opens in the browser when clicked.
class TForm4 : public FixedDialog
{
    Q_OBJECT
public:
    explicit TForm4(QWidget* mainWindow);
    ~TForm4() override;

    // The support page: both the text shown and the address opened.
    static QString supportAddress();

    QLabel* Image1;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QLabel* StaticText5;
    QPushButton* Button1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StaticText5Click();
};

} // namespace lintora
