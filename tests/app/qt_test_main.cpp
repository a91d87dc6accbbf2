#include <gtest/gtest.h>

#include <QApplication>

// The window tests need a QApplication. They always draw offscreen, so that a desktop's
// window manager (frames, focus) cannot change what they measure.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
