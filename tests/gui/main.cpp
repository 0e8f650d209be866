// The GUI tests run real widgets in one QApplication, offscreen unless told otherwise.

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    // Listing the tests (at build time) needs no display and no Qt. Look before GoogleTest
    // takes its flags out of argv.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the program keeps between starts goes to a folder of the run's own, not the
    // user's settings.
    char settings[] = "/tmp/zenka-gui-tests-XXXXXX";
    if (!mkdtemp(settings)) return 2;
    qputenv("XDG_CONFIG_HOME", settings);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(settings, ignored);
    return result;
}
