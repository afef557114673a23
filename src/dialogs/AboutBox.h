#pragma once

#include <QDialog>

namespace lintora {

// The about box "Lintora - バージョン情報".
class TForm4 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm4(QWidget* mainWindow);
    ~TForm4() override;
};

} // namespace lintora
