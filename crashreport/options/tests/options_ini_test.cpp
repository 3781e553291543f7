#include "crashreport/options/options_ini.h"

#include <gtest/gtest.h>

namespace faulttrap {
namespace {

constexpr const char* kSample = "; the program's reporting\n"
                                "[Options]\n"
                                "EMailSendMode=SMTPClient\n"
                                "SMTPHost = mail.example.com\n"
                                "SMTPPort=2525\n"
                                "EMailAddresses=suporte@example.com\n"
                                "ReportOptions=NewLogOnVersionChange, CollectModulesAndProcesses\n"
                                "ExceptionDialogType=3\r\n"
                                "MaxLogEntries=0x10\n"
                                "[CustomizedTexts]\n"
                                "26=O programa encontrou um problema.\\nDesculpe.\n"
                                "SendButton=&Enviar\n"
                                "[Filter]\n"
                                "ClassName=std::out_of_range\n"
                                "CustomMessage=\\sÍndice fora do intervalo\n"
                                "HandlerChoice=Ignore\n"
                                "[Filter]\n"
                                "Active=false\n"
                                "ClassName=EAbort\n";

TEST(OptionsIni, ReadsEverySectionIntoTheOptions) {
    std::vector<OptionsIniError> errors;
    const TFaultOptionsContent content = ParseOptionsIni(kSample, errors);
    ASSERT_TRUE(errors.empty()) << errors.front().line << ": " << errors.front().message;
    EXPECT_EQ(content.Values.EMailSendMode, TFaultEMailSendMode::SMTPClient);
    EXPECT_EQ(content.Values.SMTPHost, "mail.example.com");
    EXPECT_EQ(content.Values.SMTPPort, 2525);
    EXPECT_EQ(content.Values.ReportOptions, 0x14);
    EXPECT_EQ(content.Values.ExceptionDialogType, TFaultDialogType::Detailed);
    EXPECT_EQ(content.Values.MaxLogEntries, 16);
    EXPECT_EQ(content.Values.FreezeTimeout, 60) << "an option the file does not name";
    EXPECT_EQ(content.Texts.StoredText(TextId::ClassicHeader),
              "O programa encontrou um problema.\nDesculpe.")
        << "a text by its number";
    EXPECT_EQ(content.Texts.StoredText(TextId::SendButton), "&Enviar") << "a text by its name";
    ASSERT_EQ(content.Filters.size(), 2u);
    EXPECT_EQ(content.Filters[0].ClassName, "std::out_of_range");
    EXPECT_EQ(content.Filters[0].CustomMessage, " \xCDndice fora do intervalo");
    EXPECT_EQ(content.Filters[0].HandlerChoice, TFaultHandlerChoice::Ignore);
    EXPECT_FALSE(content.Filters[1].Active);
}

TEST(OptionsIni, RoundTripThroughTheStreamGivesTheSameFile) {
    std::vector<OptionsIniError> errors;
    const TFaultOptionsContent content = ParseOptionsIni(kSample, errors);
    const std::string written = WriteOptionsIni(content);
    const TFaultOptionsContent streamed =
        DecodeOptionsStream(EncodeOptionsStream(content), kCurrentDataVersion);
    EXPECT_EQ(streamed, content);
    EXPECT_EQ(WriteOptionsIni(streamed), written);
    EXPECT_NE(written.find("\n[CustomizedTexts]\nClassicHeader=O programa encontrou um problema."
                           "\\nDesculpe.\nSendButton=&Enviar\n"),
              std::string::npos)
        << "texts are written by name, in the order of their numbers:\n"
        << written;
    const TFaultOptionsContent reread = ParseOptionsIni(written, errors);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(reread, content);
    EXPECT_EQ(WriteOptionsIni(TFaultOptionsContent{}).find("[CustomizedTexts]"), std::string::npos)
        << "default texts are not written";
}

TEST(OptionsIni, ReportsEveryMistakeWithItsLine) {
    const std::string text = "[Options]\n"
                             "SMTPPort=70000\n"
                             "Colour=blue\n"
                             "LogToFile=maybe\n"
                             "ExceptionDialogType=Fancy\n"
                             "ReportOptions=NoDuplicateErrors,Loud\n"
                             "no equals sign\n"
                             "[CustomizedTexts]\n"
                             "158=too far\n"
                             "3=\\q\n"
                             "4=\xE2\x82\xBF\n"
                             "SendBtn=Enviar\n"
                             "-1=before the first\n"
                             "[Filter]\n"
                             "Kind=1\n"
                             "[Elsewhere]\n"
                             "MaxLogEntries=0\n";
    std::vector<OptionsIniError> errors;
    ParseOptionsIni(text, errors);
    const std::vector<std::pair<int, std::string>> expected = {
        {2, "SMTPPort: 70000 is out of range (0 to 65535)"},
        {3, "unknown option \"Colour\""},
        {4, "LogToFile: \"maybe\" is neither true nor false"},
        {5, "ExceptionDialogType: \"Fancy\" is none of None MessageBox Classic Detailed"},
        {6, "ReportOptions: unknown flag \"Loud\""},
        {7, "\"no equals sign\" is no Name=Value line"},
        {9, "customised text 158 is out of range (0 to 157)"},
        {10, "text 3: unknown escape \\q in the text"},
        {11, "text 4: the text holds \"\xE2\x82\xBF\", which Windows-1252 cannot hold"},
        {12, "unknown customised text \"SendBtn\""},
        {13, "customised text -1 is out of range (0 to 157)"},
        {15, "unknown filter field \"Kind\""},
        {16, "unknown section [Elsewhere] (Options, CustomizedTexts or Filter)"},
    };
    ASSERT_EQ(errors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(errors[i].line, expected[i].first);
        EXPECT_EQ(errors[i].message, expected[i].second);
    }
}

TEST(OptionsIni, MaxLogEntriesBelowOneIsOutOfRange) {
    std::vector<OptionsIniError> errors;
    ParseOptionsIni("[Options]\nMaxLogEntries=0\n", errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 2);
}

TEST(OptionsIni, TellsTheReadableFormFromTheStream) {
    EXPECT_TRUE(LooksLikeOptionsIni("\n  [Options]\n"));
    EXPECT_TRUE(LooksLikeOptionsIni("; comment\n"));
    EXPECT_FALSE(LooksLikeOptionsIni(EncodeOptionsStream(TFaultOptionsContent{})));
}

} // namespace
} // namespace faulttrap
