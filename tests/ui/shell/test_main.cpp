#include <gtest/gtest.h>

#include <QApplication>
#include <QQuickStyle>

// The tests share one application object, as the program has one; the
// environment (set by CTest) keeps it off screen.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The style the program uses, which follows the application palette.
    QQuickStyle::setStyle("Fusion");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
