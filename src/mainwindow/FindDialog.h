#pragma once

#include "app/FixedDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lintora {

// The find dialog "Lintora - 検索". Its text stays from one find to the next.
class TForm6 : public FixedDialog
{
    Q_OBJECT
public:
    explicit TForm6(QWidget* mainWindow);
    ~TForm6() override;

    // The search text as typed, not trimmed.
    QString searchText() const;
    void setSearchText(const QString& text); // for tests

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace lintora
