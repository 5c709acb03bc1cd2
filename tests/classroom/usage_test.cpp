#include "classroom/startup.h"
#include "runtime/usage.h"

#include <gtest/gtest.h>

using namespace canvas;

// Every option the help and the manual page list is one the command line takes, and the other way round:
// both come from one table, which the parser reads too.
TEST(Usage, EveryListedOptionIsTakenAndNothingElse) {
    struct Case {
        QStringList arguments;
        std::optional<int> exitCode;
    };
    const Case cases[] = {
        {{"Quorvex", "--version"}, 0},
        {{"Quorvex", "--help"}, 0},
        {{"Quorvex", "-h"}, 0},
        {{"Quorvex", "--bogus"}, 2},
        {{"Quorvex", "--scale=42"}, 2},
        {{"Quorvex", "--scale"}, 2},
        {{"Quorvex", "lesson.svg"}, 2},
        {{"Quorvex", "--scale=200", "x"}, 2},
        {{"Quorvex", "--"}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readStartOptions(QStringLiteral("Quorvex"), c.arguments).exitCode, c.exitCode)
            << c.arguments.join(u' ').toStdString();
}

TEST(Usage, HelpAndManualPageListEveryOptionAndKey) {
    for (const char* program : {"Quorvex", "Zelmora", "Tavrinth"}) {
        const QString help = helpText(QString::fromLatin1(program));
        const QString page = manualPage(QString::fromLatin1(program));
        ASSERT_FALSE(page.isEmpty()) << program;
        EXPECT_TRUE(page.startsWith(QStringLiteral(".TH %1 1").arg(QString::fromLatin1(program).toUpper())));
        EXPECT_TRUE(page.contains(programVersion()));
        for (const auto* table : {&commandLineOptions(), &programKeys()})
            for (const UsageItem& item : *table) {
                const QString name = QString::fromUtf8(item.name);
                EXPECT_TRUE(help.contains(name)) << name.toStdString();
                // Hyphens are escaped in roff so that options copy as typed.
                EXPECT_TRUE(page.contains(QString(name).replace(u'-', QStringLiteral("\\-"))))
                    << program << " " << name.toStdString();
            }
    }
    EXPECT_TRUE(manualPage(QStringLiteral("Other")).isEmpty());
}
