// LintoraDesk: the program entry.
#include "app/ErrorHandler.h"
#include "app/LintoraApplication.h"
#include "app/QtMessageService.h"
#include "mainwindow/MainWindow.h"

#include <QFont>
#include <memory>

int main(int argc, char** argv)
{
    lintora::LintoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    // IPA P Gothic stands in for "ＭＳ Ｐゴシック" 9pt, the font every window was laid out for.
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));

    lintora::QtMessageService messageBoxes;
    lintora::MessageService::setDefault(&messageBoxes);

    int result = 0;
    try {
        auto form1 = std::make_unique<lintora::TForm1>();
        QApplication::setWindowIcon(form1->windowIcon());
        form1->CreateDialogs();
        form1->show();
        result = QApplication::exec();
        // Destroying the main window writes the settings file; a refused write is shown before the
        // program ends.
        form1.reset();
    } catch (...) {
        lintora::reportUnhandledError(std::current_exception());
        result = 1;
    }
    lintora::MessageService::setDefault(nullptr);
    return result;
}
