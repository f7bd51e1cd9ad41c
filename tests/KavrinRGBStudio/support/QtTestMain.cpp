// GoogleTest's main for tests that need Qt's event loop: the application object lives for the whole
// run. Widgets draw on the offscreen platform, so no display is needed.
#include <gmock/gmock.h>

#include KAVRIN_TEST_APPLICATION_HEADER

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleMock(&argc, argv);
    const KAVRIN_TEST_APPLICATION application(argc, argv);
    return RUN_ALL_TESTS();
}
