#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests that use sockets or timers need an event loop; one application object serves all.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
