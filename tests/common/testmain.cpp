#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef VARLEX_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    // Tests never open a real window or touch the user's settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    TestApplication::setApplicationName(QStringLiteral("VarlexTest"));
    TestApplication::setOrganizationName(QStringLiteral("VarlexTest"));
    return RUN_ALL_TESTS();
}
