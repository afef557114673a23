// The main of every test executable: a QApplication (offscreen, set by CTest) around GoogleTest.

#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    // Listing the tests (CTest does it right after the build, without the tests' environment) needs
    // no window system, so no application is made for it.
    bool listingOnly = false;
    for (int i = 1; i < argc; ++i)
        listingOnly = listingOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    std::unique_ptr<QApplication> app;
    if (!listingOnly) {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
