#include <gtest/gtest.h>

#include <QCoreApplication>

// The transports run on Qt's event loop; the tests turn it themselves.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
