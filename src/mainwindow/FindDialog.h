#pragma once

#include <QDialog>

namespace lintora {

// The find dialog "Lintora - 検索". Its text stays from one find to the next.
class TForm6 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm6(QWidget* mainWindow);
    ~TForm6() override;

    // The search text as typed, not trimmed.
    QString searchText() const;
    void setSearchText(const QString& text); // for tests
};

} // namespace lintora
