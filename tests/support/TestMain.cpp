// The main of every test executable: a QApplication (offscreen, set by CTest) around GoogleTest.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
