// LintoraDesk: the program entry.
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    return 0;
}
