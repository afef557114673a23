#pragma once

#include "app/FixedDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lintora {

// The bookmark information dialog "Lintora - 情報の変更": the comment above the URL, "設定" to
// confirm, "キャンセル" to leave the file as it was. Loaded by the main window before every use.
class TForm2 : public FixedDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);
    ~TForm2() override;

    QGroupBox* GroupBox1; // "ＵＲＬ"
    QGroupBox* GroupBox2; // "コメント"
    QLineEdit* Edit1;     // the URL
    QLineEdit* Edit2;     // the comment
    QPushButton* Button1; // "設定"
    QPushButton* Button2; // "キャンセル"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace lintora
