#include "testsupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

// The worksheet's rules, tested as the command line uses them: without a
// display and without a widget.
int main(int argc, char **argv)
{
    PrivateFolders folders;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
