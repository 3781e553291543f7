#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace faulttrap {
namespace {

using testing::CountingOptions;

TEST(ChangeNotification, HeldBackInsideTheUpdateBracket) {
    CountingOptions options;
    options.BeginUpdate();
    options.SetSMTPHost("a");
    options.BeginUpdate();
    options.SetSMTPPort(2525);
    options.EndUpdate();
    options.SetLogToFile(false);
    options.EndUpdate();
    EXPECT_EQ(options.notifications, 0); // closing the bracket does not notify by itself

    options.CheckNotification();
    EXPECT_EQ(options.notifications, 1);
    options.SetSMTPHost("b");
    EXPECT_EQ(options.notifications, 2);
}

TEST(ChangeNotification, AnUnbalancedEndUpdateDoesNotSilenceLaterChanges) {
    CountingOptions options;
    options.EndUpdate();
    options.SetSMTPHost("a");
    EXPECT_EQ(options.notifications, 1);
}

TEST(ChangeNotification, AssignSetDefaultsAndLoadNotifyExactlyOnce) {
    CountingOptions source;
    source.SetSMTPHost("mail");
    source.ExceptionsFilters().Add(TFaultExceptionFilter{});
    source.ExceptionsFilters().Add(TFaultExceptionFilter{});
    std::ostringstream saved;
    source.SaveToStream(saved);

    CountingOptions options;
    options.Assign(&source);
    EXPECT_EQ(options.notifications, 1);
    EXPECT_EQ(options.Content(), source.Content());

    options.notifications = 0;
    options.SetDefaults();
    EXPECT_EQ(options.notifications, 1);

    options.notifications = 0;
    std::istringstream stream(saved.str());
    options.LoadFromStream(stream, kCurrentDataVersion);
    EXPECT_EQ(options.notifications, 1);

    options.notifications = 0;
    std::istringstream truncated(saved.str().substr(0, 100));
    EXPECT_THROW(options.LoadFromStream(truncated, kCurrentDataVersion), OptionsStreamError);
    EXPECT_EQ(options.notifications, 1);
}

TEST(ChangeNotification, FilterListChangesNotifyTheOwner) {
    CountingOptions options;
    options.ExceptionsFilters().Add(TFaultExceptionFilter{});
    options.ExceptionsFilters().Add(TFaultExceptionFilter{});
    options.ExceptionsFilters().Delete(0);
    options.ExceptionsFilters().Clear();
    EXPECT_EQ(options.notifications, 4);
    EXPECT_THROW(options.ExceptionsFilters().Delete(0), std::out_of_range);
}

TEST(ChangeNotification, OnlyForOptionsOfTheModuleThatRunsFaultTrapWithTheFlag) {
    CountingOptions withoutFlag(testing::kThisProgram, false);
    withoutFlag.SetSMTPHost("a");
    EXPECT_EQ(withoutFlag.notifications, 0);

    CountingOptions otherModule("/usr/lib/x86_64-linux-gnu/libc.so.6", true);
    otherModule.SetSMTPHost("a");
    EXPECT_EQ(otherModule.notifications, 0);

    CountingOptions noModule("", true);
    noModule.SetSMTPHost("a");
    EXPECT_EQ(noModule.notifications, 0);
}

TEST(Assign, CopiesStoredOptionsButNotTheModuleNorHandlingActive) {
    CountingOptions source("/source/module", false);
    source.SetZipPassword("zip");
    source.SetCustomizedText(TextId::DialogCaption, "Erro");
    source.SetHandlingActive(false);
    source.ExceptionsFilters().Add(
        TFaultExceptionFilter{true, "std::bad_alloc", "", {}, {}, {}, {}});

    CountingOptions options;
    options.Assign(&source);
    EXPECT_EQ(options.Content(), source.Content());
    EXPECT_TRUE(options.HandlingActive());
    EXPECT_EQ(options.ModuleFileName(), testing::kThisProgram);

    source.ExceptionsFilters().Clear(); // the copy owns its own filter records
    EXPECT_EQ(options.ExceptionsFilters().Count(), 1u);
}

TEST(Assign, NullIsAConversionErrorAndSelfDoesNothing) {
    CountingOptions options;
    try {
        options.Assign(nullptr);
        FAIL() << "assigned nil";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "Impossible to assign nil as TFaultModuleOptions.");
    }
    options.Assign(&options);
    EXPECT_EQ(options.notifications, 0);
}

} // namespace
} // namespace faulttrap
