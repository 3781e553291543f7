#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace faulttrap {
namespace {

using testing::CountingOptions;

TEST(OptionDefaults, EveryOptionStartsAtItsDefault) {
    const TFaultModuleOptions options("/some/module.so", false);
    const TFaultOptionValues& v = options.Values();
    EXPECT_EQ(v.Reserved1, 0);
    EXPECT_TRUE(v.UseFilters);
    EXPECT_EQ(v.ReportOptions, 0x30);
    EXPECT_FALSE(v.AppendReportToMessage);
    EXPECT_TRUE(v.LogToFile);
    EXPECT_EQ(static_cast<int>(v.InitialPage), 0);
    EXPECT_FALSE(v.FreezeWatch);
    EXPECT_EQ(v.FreezeTimeout, 60);
    EXPECT_EQ(v.SMTPFrom, "faulttrap@example.com");
    EXPECT_EQ(v.SMTPHost, "");
    EXPECT_EQ(v.SMTPPort, 25);
    EXPECT_EQ(v.SMTPUserID, "");
    EXPECT_EQ(v.SMTPPassword, "");
    EXPECT_EQ(static_cast<int>(v.TerminateAction), 2);
    EXPECT_EQ(v.MaxLogEntries, 32);
    EXPECT_EQ(v.ErrorsBeforeTerminate, 3);
    EXPECT_EQ(v.EMailAddresses, "");
    EXPECT_EQ(v.EMailSubject, "");
    EXPECT_EQ(static_cast<int>(v.EMailSendMode), 0);
    EXPECT_EQ(v.ReportFields.to_ullong(), 0xFFFFFFFFFFFFull);
    EXPECT_EQ(v.LogFolder, "");
    EXPECT_EQ(static_cast<int>(v.WebSendMode), 0);
    EXPECT_EQ(v.WebURL, "");
    EXPECT_EQ(v.WebUserID, "");
    EXPECT_EQ(v.WebPassword, "");
    EXPECT_EQ(v.WebPort, 0);
    EXPECT_EQ(v.AttachedFiles, "");
    EXPECT_EQ(v.SendOptions, 0x0051);
    EXPECT_EQ(v.DialogOptions, 0x018F);
    EXPECT_EQ(v.AutoCloseSeconds, 0);
    EXPECT_EQ(v.SupportURL, "");
    EXPECT_EQ(v.StackOptions, 0x0F);
    EXPECT_EQ(v.BehaviourOptions, 0x0058);
    EXPECT_EQ(v.Reserved35, 30);
    EXPECT_EQ(static_cast<int>(v.ErrorFloodAction), 2);
    EXPECT_EQ(v.ErrorFloodCount, 10);
    EXPECT_EQ(v.ErrorFloodMinutes, 1);
    EXPECT_EQ(v.Reserved39, 1);
    EXPECT_EQ(static_cast<int>(v.ExceptionDialogType), 2);
    EXPECT_EQ(v.ProxyHost, "");
    EXPECT_EQ(v.ProxyUserID, "");
    EXPECT_EQ(v.ProxyPassword, "");
    EXPECT_EQ(v.ProxyPort, 8080);
    EXPECT_EQ(v.TrackerUserID, "");
    EXPECT_EQ(v.TrackerPassword, "");
    EXPECT_EQ(v.TrackerAssignedTo, "");
    EXPECT_EQ(v.TrackerProject, "");
    EXPECT_EQ(v.TrackerCategory, "");
    EXPECT_EQ(v.TrackerExtraID, "");
    EXPECT_EQ(v.ZipPassword, "");
    EXPECT_EQ(v.EMailMessage, "");
    EXPECT_EQ(v.LanguageName, "English");
    EXPECT_EQ(options.ExceptionsFilters().Count(), 0u);
    EXPECT_TRUE(options.HandlingActive());
    EXPECT_EQ(options.ModuleFileName(), "/some/module.so");
}

TEST(OptionDefaults, HTMLTemplateIsTheFifteenLinePage) {
    const TFaultModuleOptions options("", false);
    EXPECT_EQ(options.HTMLTemplate(),
              "<html>\r\n  <head>\r\n  </head>\r\n  <body TopMargin=10 LeftMargin=10>\r\n"
              "    <table width=\"100%\" border=\"0\">\r\n      <tr>\r\n        <td nowrap>\r\n"
              "          <font face=\"Lucida Console, Courier\" size=\"2\">\r\n"
              "            <%HTML_TAG%>\r\n          </font>\r\n        </td>\r\n"
              "      </tr>\r\n    </table>\r\n  </body>\r\n</html>");
}

// One setter: applied to fresh options, it must store the value in its own field and notify
// exactly once.
struct SetterCase {
    const char* name;
    std::function<void(TFaultModuleOptions&)> set;
    std::function<bool(const TFaultOptionValues&)> stored;
};

template <class T, class Setter>
SetterCase Case(const char* name, T TFaultOptionValues::*field, Setter setter, T value) {
    return {name, [=](TFaultModuleOptions& o) { (o.*setter)(value); },
            [=](const TFaultOptionValues& v) { return v.*field == value; }};
}

using O = TFaultModuleOptions;
using V = TFaultOptionValues;

const SetterCase kSetters[] = {
    Case("UseFilters", &V::UseFilters, &O::SetUseFilters, false),
    Case("ReportOptions", &V::ReportOptions, &O::SetReportOptions, std::uint8_t{0x3F}),
    Case("AppendReportToMessage", &V::AppendReportToMessage, &O::SetAppendReportToMessage, true),
    Case("LogToFile", &V::LogToFile, &O::SetLogToFile, false),
    Case("InitialPage", &V::InitialPage, &O::SetInitialPage, TFaultDialogPage::CPU),
    Case("FreezeWatch", &V::FreezeWatch, &O::SetFreezeWatch, true),
    Case("FreezeTimeout", &V::FreezeTimeout, &O::SetFreezeTimeout, 5),
    Case("SMTPFrom", &V::SMTPFrom, &O::SetSMTPFrom, std::string("me@host")),
    Case("SMTPHost", &V::SMTPHost, &O::SetSMTPHost, std::string("smtp.host")),
    Case("SMTPPort", &V::SMTPPort, &O::SetSMTPPort, std::uint16_t{587}),
    Case("SMTPUserID", &V::SMTPUserID, &O::SetSMTPUserID, std::string("user")),
    Case("SMTPPassword", &V::SMTPPassword, &O::SetSMTPPassword, std::string("secret")),
    Case("TerminateAction", &V::TerminateAction, &O::SetTerminateAction, TFaultAction::None),
    Case("MaxLogEntries", &V::MaxLogEntries, &O::SetMaxLogEntries, 7),
    Case("MaxLogEntries negative", &V::MaxLogEntries, &O::SetMaxLogEntries, -1),
    Case("ErrorsBeforeTerminate", &V::ErrorsBeforeTerminate, &O::SetErrorsBeforeTerminate, 9),
    Case("EMailAddresses", &V::EMailAddresses, &O::SetEMailAddresses, std::string("a@b;c@d")),
    Case("EMailSubject", &V::EMailSubject, &O::SetEMailSubject, std::string("Bug")),
    Case("EMailSendMode", &V::EMailSendMode, &O::SetEMailSendMode, TFaultEMailSendMode::SMTPServer),
    Case("ReportFields", &V::ReportFields, &O::SetReportFields, TFaultReportFields(0x123)),
    Case("LogFolder", &V::LogFolder, &O::SetLogFolder, std::string("/var/log/x.ftlog")),
    Case("WebSendMode", &V::WebSendMode, &O::SetWebSendMode, TFaultWebSendMode::Mantis),
    Case("WebURL", &V::WebURL, &O::SetWebURL, std::string("http://bugs")),
    Case("WebUserID", &V::WebUserID, &O::SetWebUserID, std::string("web")),
    Case("WebPassword", &V::WebPassword, &O::SetWebPassword, std::string("pw")),
    Case("WebPort", &V::WebPort, &O::SetWebPort, 8443),
    Case("AttachedFiles", &V::AttachedFiles, &O::SetAttachedFiles, std::string("a.txt")),
    Case("SendOptions", &V::SendOptions, &O::SetSendOptions, std::uint16_t{0x03FF}),
    Case("DialogOptions", &V::DialogOptions, &O::SetDialogOptions, std::uint16_t{0x0200}),
    Case("AutoCloseSeconds", &V::AutoCloseSeconds, &O::SetAutoCloseSeconds, 30),
    Case("SupportURL", &V::SupportURL, &O::SetSupportURL, std::string("http://help")),
    Case("HTMLTemplate", &V::HTMLTemplate, &O::SetHTMLTemplate, std::string("<p/>")),
    Case("StackOptions", &V::StackOptions, &O::SetStackOptions, std::uint8_t{0x01}),
    Case("BehaviourOptions", &V::BehaviourOptions, &O::SetBehaviourOptions, std::uint16_t{0x01FF}),
    Case("ErrorFloodAction", &V::ErrorFloodAction, &O::SetErrorFloodAction,
         TFaultAction::Terminate),
    Case("ErrorFloodCount", &V::ErrorFloodCount, &O::SetErrorFloodCount, 4),
    Case("ErrorFloodMinutes", &V::ErrorFloodMinutes, &O::SetErrorFloodMinutes, 15),
    Case("ExceptionDialogType", &V::ExceptionDialogType, &O::SetExceptionDialogType,
         TFaultDialogType::Detailed),
    Case("ProxyHost", &V::ProxyHost, &O::SetProxyHost, std::string("proxy")),
    Case("ProxyUserID", &V::ProxyUserID, &O::SetProxyUserID, std::string("pu")),
    Case("ProxyPassword", &V::ProxyPassword, &O::SetProxyPassword, std::string("pp")),
    Case("ProxyPort", &V::ProxyPort, &O::SetProxyPort, std::uint16_t{3128}),
    Case("TrackerUserID", &V::TrackerUserID, &O::SetTrackerUserID, std::string("tu")),
    Case("TrackerPassword", &V::TrackerPassword, &O::SetTrackerPassword, std::string("tp")),
    Case("TrackerAssignedTo", &V::TrackerAssignedTo, &O::SetTrackerAssignedTo, std::string("dev")),
    Case("TrackerProject", &V::TrackerProject, &O::SetTrackerProject, std::string("proj")),
    Case("TrackerCategory", &V::TrackerCategory, &O::SetTrackerCategory, std::string("cat")),
    Case("TrackerExtraID", &V::TrackerExtraID, &O::SetTrackerExtraID, std::string("x1")),
    Case("ZipPassword", &V::ZipPassword, &O::SetZipPassword, std::string("zip")),
    Case("EMailMessage", &V::EMailMessage, &O::SetEMailMessage, std::string("Hello")),
    Case("LanguageName", &V::LanguageName, &O::SetLanguageName, std::string("Portugu\xEAs")),
};

TEST(OptionSetters, EachStoresItsValueAndNotifiesOnce) {
    for (const SetterCase& c : kSetters) {
        SCOPED_TRACE(c.name);
        CountingOptions options;
        c.set(options);
        EXPECT_TRUE(c.stored(options.Values()));
        EXPECT_EQ(options.notifications, 1);
    }
}

TEST(OptionSetters, MaxLogEntriesZeroIsStoredAsOne) {
    CountingOptions options;
    options.SetMaxLogEntries(0);
    EXPECT_EQ(options.MaxLogEntries(), 1);
    EXPECT_EQ(options.notifications, 1);
}

TEST(OptionSetters, HandlingActiveIsNotStoredButNotifies) {
    CountingOptions options;
    options.SetHandlingActive(false);
    EXPECT_FALSE(options.HandlingActive());
    EXPECT_EQ(options.Values(), TFaultOptionValues{});
    EXPECT_EQ(options.notifications, 1);
}

TEST(OptionSetters, SetDefaultsRestoresEverything) {
    CountingOptions options;
    for (const SetterCase& c : kSetters) {
        c.set(options);
    }
    options.SetHandlingActive(false);
    options.SetCustomizedText(TextId::GeneralPage, "Geral");
    options.ExceptionsFilters().Add(TFaultExceptionFilter{});

    options.SetDefaults();

    EXPECT_EQ(options.Values(), TFaultOptionValues{});
    EXPECT_EQ(options.CustomizedTexts(), TCustomizedTexts{});
    EXPECT_EQ(options.ExceptionsFilters().Count(), 0u);
    EXPECT_TRUE(options.HandlingActive());
}

} // namespace
} // namespace faulttrap
