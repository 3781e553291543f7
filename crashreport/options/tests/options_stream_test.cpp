#include "crashreport/options/options_stream.h"
#include "crashreport/options/tests/counting_options.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace faulttrap {
namespace {

using testing::CountingOptions;
using Bytes = std::vector<std::uint8_t>;

// A small, fully known options object: the defaults, but with every text empty except
//   SMTPFrom "ab", LanguageName "Hi" CR LF, text 0 "Ok", text 157 CR LF,
// WebPort -2 and one filter {Active, "E", "", kind 2, dialog 3, handler 1, action 2}.
void MakeKnownOptions(TFaultModuleOptions& options) {
    options.SetSMTPFrom("ab");
    options.SetHTMLTemplate("");
    options.SetLanguageName("Hi\r\n");
    options.SetWebPort(-2);
    for (std::size_t i = 0; i < TCustomizedTexts::Count; ++i) {
        options.SetCustomizedText(TextIdOfNumber(i), "");
    }
    options.SetCustomizedText(TextId::InformationCaption, "Ok");
    options.SetCustomizedText(TextId::InvalidEmail, "\r\n");
    options.ExceptionsFilters().Add(TFaultExceptionFilter{
        true, "E", "", TFaultExceptionKind::UnhandledOnly, TFaultFilterDialog::Classic,
        TFaultHandlerChoice::StandardHandler, TFaultAction::Restart});
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

const Bytes kEmptyText = {0x00, 0x00, 0x00, 0x00};

// Written by hand from the layout: integers little-endian, texts as a 32-bit length and their
// bytes XORed with 0xA5 ('a' 61 -> C4, 'b' 62 -> C7, 'E' 45 -> E0, 'O' 4F -> EA, 'k' 6B -> CE,
// 'H' 48 -> ED, 'i' 69 -> CC).
Bytes GoldenBytes() {
    Bytes b;
    Append(b, {0x00});                               // 1 reserved
    Append(b, {0x01});                               // 2 UseFilters
    Append(b, {0x30});                               // 3 ReportOptions
    Append(b, {0x00});                               // 4 AppendReportToMessage
    Append(b, {0x01});                               // 5 LogToFile
    Append(b, {0x00});                               // 6 InitialPage
    Append(b, {0x00});                               // 7 FreezeWatch
    Append(b, {0x3C, 0x00, 0x00, 0x00});             // 8 FreezeTimeout 60
    Append(b, {0x02, 0x00, 0x00, 0x00, 0xC4, 0xC7}); // 9 SMTPFrom "ab"
    Append(b, kEmptyText);                           // 10 SMTPHost
    Append(b, {0x19, 0x00});                         // 11 SMTPPort 25
    Append(b, kEmptyText);                           // 12 SMTPUserID
    Append(b, kEmptyText);                           // 13 SMTPPassword
    Append(b, {0x02});                               // 14 TerminateAction (offset 31)
    Append(b, {0x20, 0x00, 0x00, 0x00});             // 15 MaxLogEntries 32
    Append(b, {0x03, 0x00, 0x00, 0x00});             // 16 ErrorsBeforeTerminate
    Append(b, kEmptyText);                           // 17 EMailAddresses
    Append(b, kEmptyText);                           // 18 EMailSubject
    Append(b, {0x00});                               // 19 EMailSendMode
    Append(b, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}); // 20 ReportFields
    Append(b, kEmptyText);                           // 21 LogFolder
    Append(b, {0x00});                               // 22 WebSendMode
    Append(b, kEmptyText);                           // 23 WebURL
    Append(b, kEmptyText);                           // 24 WebUserID
    Append(b, kEmptyText);                           // 25 WebPassword
    Append(b, {0xFE, 0xFF, 0xFF, 0xFF});             // 26 WebPort -2
    Append(b, kEmptyText);                           // 27 AttachedFiles
    Append(b, {0x51, 0x00});                         // 28 SendOptions
    Append(b, {0x8F, 0x01});                         // 29 DialogOptions
    Append(b, {0x00, 0x00, 0x00, 0x00});             // 30 AutoCloseSeconds
    Append(b, kEmptyText);                           // 31 SupportURL
    Append(b, kEmptyText);                           // 32 HTMLTemplate
    Append(b, {0x0F});                               // 33 StackOptions
    Append(b, {0x58, 0x00});                         // 34 BehaviourOptions
    Append(b, {0x1E});                               // 35 reserved 30
    Append(b, {0x02});                               // 36 ErrorFloodAction
    Append(b, {0x0A, 0x00, 0x00, 0x00});             // 37 ErrorFloodCount
    Append(b, {0x01, 0x00, 0x00, 0x00});             // 38 ErrorFloodMinutes
    Append(b, {0x01});                               // 39 reserved 1
    Append(b, {0x02});                               // 40 ExceptionDialogType
    Append(b, kEmptyText);                           // 41 ProxyHost
    Append(b, kEmptyText);                           // 42 ProxyUserID
    Append(b, kEmptyText);                           // 43 ProxyPassword
    Append(b, {0x90, 0x1F});                         // 44 ProxyPort 8080
    for (int i = 45; i <= 51; ++i) {                 // 45-50 Tracker..., 51 ZipPassword
        Append(b, kEmptyText);
    }
    Append(b, {0x01, 0x00, 0x00, 0x00});             // 52 filter count (offset 153)
    Append(b, {0x01});                               //    Active
    Append(b, {0x01, 0x00, 0x00, 0x00, 0xE0});       //    ClassName "E"
    Append(b, kEmptyText);                           //    CustomMessage
    Append(b, {0x02, 0x03, 0x01, 0x02});             //    kind, dialog, handler, action
    Append(b, kEmptyText);                           // 53 EMailMessage
    Append(b, {0x02, 0x00, 0x00, 0x00, 0xEA, 0xCE}); // 54 text 0 "Ok"
    for (int i = 1; i <= 157; ++i) {                 //    texts 1 to 157 (157: CR LF dropped)
        Append(b, kEmptyText);
    }
    Append(b, {0x02, 0x00, 0x00, 0x00, 0xED, 0xCC}); // 55 LanguageName "Hi"
    return b;
}

constexpr std::size_t kUseFiltersOffset = 1;
constexpr std::size_t kSMTPFromLengthOffset = 11;
constexpr std::size_t kTerminateActionOffset = 31;
constexpr std::size_t kFilterCountOffset = 153;
constexpr std::size_t kGoldenSize = 815;

std::string AsString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Saved(const TFaultModuleOptions& options) {
    std::ostringstream stream;
    options.SaveToStream(stream);
    return stream.str();
}

TEST(OptionsStream, KnownOptionsGiveTheHandWrittenBytes) {
    const Bytes golden = GoldenBytes();
    ASSERT_EQ(golden.size(), kGoldenSize);
    TFaultModuleOptions options("", false);
    MakeKnownOptions(options);
    EXPECT_EQ(Saved(options), AsString(golden));
}

TEST(OptionsStream, HandWrittenBytesLoadAsTheKnownOptions) {
    TFaultModuleOptions expected("", false);
    MakeKnownOptions(expected);
    TFaultModuleOptions loaded("", false);
    loaded.LoadFromBytes(AsString(GoldenBytes()), kCurrentDataVersion);
    TFaultOptionsContent wanted = expected.Content();
    wanted.Values.LanguageName = "Hi";
    wanted.Texts.SetText(TextId::InvalidEmail, "");
    EXPECT_EQ(loaded.Content(), wanted);
}

TEST(OptionsStream, TextRuleDropsOnlyASingleFinalLineBreak) {
    const struct {
        std::string text;
        std::string streamed;
    } cases[] = {
        {"one line\r\n", "one line"},
        {"two\r\nlines\r\n", "two\r\nlines\r\n"},
        {"\r\n", ""},
        {"\r", "\r"},
        {"\n", "\n"},
        {"x\r\n\r\n", "x\r\n\r\n"},
        {"no break", "no break"},
        {"", ""},
        {"ends in LF\n", "ends in LF\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TFaultModuleOptions options("", false);
        options.SetEMailMessage(c.text);
        options.SetCustomizedText(TextId::CompilationDate, c.text);
        TFaultModuleOptions loaded("", false);
        loaded.LoadFromBytes(Saved(options), kCurrentDataVersion);
        EXPECT_EQ(loaded.EMailMessage(), c.streamed);
        EXPECT_EQ(loaded.CustomizedTexts().StoredText(TextId::CompilationDate), c.streamed);
    }
}

TEST(OptionsStream, EveryStoredFieldSurvivesARoundTrip) {
    TFaultModuleOptions options("/a/module", false);
    const TFaultOptionValues nonDefault{7,
                                        false,
                                        0x3F,
                                        true,
                                        false,
                                        TFaultDialogPage::Assembler,
                                        true,
                                        -5,
                                        "from",
                                        "host",
                                        65535,
                                        "uid",
                                        "pwd",
                                        TFaultAction::Terminate,
                                        1000,
                                        -3,
                                        "to@x",
                                        "subject",
                                        TFaultEMailSendMode::SMTPClient,
                                        TFaultReportFields(0xA5A5A5A5A5A5ull),
                                        "/logs",
                                        TFaultWebSendMode::FTP,
                                        "ftp://x",
                                        "wu",
                                        "wp",
                                        2121,
                                        "f1;f2",
                                        0x03FF,
                                        0x0200,
                                        10,
                                        "http://support",
                                        "<t>",
                                        0x0C,
                                        0x01FF,
                                        200,
                                        TFaultAction::None,
                                        99,
                                        7,
                                        255,
                                        TFaultDialogType::Detailed,
                                        "proxy",
                                        "pu",
                                        "pp",
                                        1,
                                        "tu",
                                        "tp",
                                        "assignee",
                                        "project",
                                        "category",
                                        "extra",
                                        "zip\xE9",
                                        "message\r\nbody\r\n",
                                        "Portugu\xEAs"};
    options.LoadFromBytes(EncodeOptionsStream(TFaultOptionsContent{nonDefault, {}, {}}),
                          kCurrentDataVersion);
    ASSERT_EQ(options.Values(), nonDefault);
    options.ExceptionsFilters().Add({true, " my::Error ", "Oops %USER%",
                                     TFaultExceptionKind::HandledOnly, TFaultFilterDialog::None,
                                     TFaultHandlerChoice::Ignore, TFaultAction::Terminate});
    options.ExceptionsFilters().Add({false, "std::exception", "", TFaultExceptionKind::All,
                                     TFaultFilterDialog::Detailed, TFaultHandlerChoice::FaultTrap,
                                     TFaultAction::None});
    for (std::size_t i = 0; i < TCustomizedTexts::Count; ++i) {
        options.SetCustomizedText(TextIdOfNumber(i),
                                  "text " + std::to_string(i) + std::string(1, '\0') + "\xFF");
    }

    TFaultModuleOptions loaded("/other/module", false);
    loaded.SetHandlingActive(false);
    std::istringstream stream(Saved(options) + "after");
    loaded.LoadFromStream(stream, kCurrentDataVersion);

    EXPECT_EQ(loaded.Content(), options.Content());
    EXPECT_FALSE(loaded.HandlingActive());
    EXPECT_EQ(loaded.ModuleFileName(), "/other/module");
    std::string rest;
    stream >> rest;
    EXPECT_EQ(rest, "after"); // the stream is left just behind the options
}

TEST(OptionsStream, LoadingZeroMaxLogEntriesKeepsOne) {
    TFaultOptionsContent content;
    content.Values.MaxLogEntries = 0;
    TFaultModuleOptions options("", false);
    options.LoadFromBytes(EncodeOptionsStream(content), kCurrentDataVersion);
    EXPECT_EQ(options.MaxLogEntries(), 1);
}

// A damaged stream is refused with a clear error and leaves the options untouched.
void ExpectRefused(const std::string& bytes, const std::string& messagePart,
                   int version = kCurrentDataVersion) {
    CountingOptions options;
    options.SetSMTPHost("kept");
    const TFaultOptionsContent before = options.Content();
    try {
        options.LoadFromBytes(bytes, version);
        ADD_FAILURE() << "loaded";
    } catch (const OptionsStreamError& error) {
        EXPECT_NE(std::string(error.what()).find(messagePart), std::string::npos) << error.what();
    }
    EXPECT_EQ(options.Content(), before);
}

TEST(OptionsStream, ARefusalIsCaughtAsAnyFaultTrapError) {
    CountingOptions options;
    const std::string golden = AsString(GoldenBytes());
    try {
        options.LoadFromBytes(golden.substr(0, golden.size() / 2), kCurrentDataVersion);
        ADD_FAILURE() << "loaded";
    } catch (const Error& error) {
        EXPECT_NE(dynamic_cast<const OptionsStreamError*>(&error), nullptr);
        EXPECT_NE(dynamic_cast<const std::runtime_error*>(&error), nullptr);
    }
}

TEST(OptionsStream, EveryTruncationIsRefused) {
    const std::string golden = AsString(GoldenBytes());
    for (std::size_t length = 0; length < golden.size(); ++length) {
        SCOPED_TRACE(length);
        ExpectRefused(golden.substr(0, length), "ends inside");
    }
}

TEST(OptionsStream, DamagedStreamsAreRefusedWithTheReason) {
    struct Damage {
        const char* what;
        std::size_t offset;
        Bytes bytes;
        const char* message;
    };
    const Damage cases[] = {
        {"bool neither 0 nor 1",
         kUseFiltersOffset,
         {0x02},
         "UseFilters holds the impossible value 2"},
        {"action out of range",
         kTerminateActionOffset,
         {0x03},
         "TerminateAction holds the impossible value 3"},
        {"text longer than the stream",
         kSMTPFromLengthOffset,
         {0xFF, 0xFF, 0xFF, 0xFF},
         "ends inside the text SMTPFrom (4294967295 bytes announced"},
        {"negative filter count",
         kFilterCountOffset,
         {0xFF, 0xFF, 0xFF, 0xFF},
         "filter count is negative"},
        {"huge filter count", kFilterCountOffset, {0xFF, 0xFF, 0xFF, 0x7F}, "ends inside"},
        {"filter kind out of range",
         kFilterCountOffset + 4 + 1 + 5 + 4,
         {0x03},
         "filter ExceptionKind holds the impossible value 3"},
        {"filter handler out of range",
         kFilterCountOffset + 4 + 1 + 5 + 4 + 2,
         {0x07},
         "filter HandlerChoice holds the impossible value 7"},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = GoldenBytes();
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.offset);
        ExpectRefused(AsString(bytes), c.message);
    }
}

TEST(OptionsStream, BytesAfterTheOptionsAreRefused) {
    ExpectRefused(AsString(GoldenBytes()) + "x", "1 unexpected bytes follow");
}

TEST(OptionsStream, SavingToARefusingStreamIsAnError) {
    std::ofstream notOpen;
    const TFaultModuleOptions options("", false);
    EXPECT_THROW(options.SaveToStream(notOpen), std::ios_base::failure);
}

TEST(OptionsStream, UnknownVersionsAreRefused) {
    const std::string golden = AsString(GoldenBytes());
    ExpectRefused(golden, "version 5999 cannot be read", 5999);
    ExpectRefused(golden, "version 6007 cannot be read", 6007);
    TFaultModuleOptions options("", false);
    EXPECT_NO_THROW(options.LoadFromBytes(golden, kFirstOptionsStreamVersion));
}

class OptionsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("ft-options-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string File(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(OptionsFile, SaveReplacesTheFileAndLoadReadsItBack) {
    const std::string file = File("options.bin");
    std::ofstream(file) << "an older, longer file that must be replaced entirely ...........";
    TFaultModuleOptions options("", false);
    MakeKnownOptions(options);
    options.SaveToFile(file);
    EXPECT_EQ(std::filesystem::file_size(file), kGoldenSize);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left behind

    TFaultModuleOptions loaded("", false);
    loaded.LoadFromFile(file);
    EXPECT_EQ(Saved(loaded), AsString(GoldenBytes()));
}

TEST_F(OptionsFile, MissingOrDamagedFilesAreRefused) {
    TFaultModuleOptions options("", false);
    EXPECT_THROW(options.LoadFromFile(File("missing.bin")), std::system_error);
    EXPECT_THROW(options.SaveToFile(File("no/such/folder/options.bin")), std::system_error);

    const std::string trailing = File("trailing.bin");
    std::ofstream(trailing, std::ios::binary) << AsString(GoldenBytes()) << "!";
    EXPECT_THROW(options.LoadFromFile(trailing), OptionsStreamError);

    const std::string truncated = File("truncated.bin");
    std::ofstream(truncated, std::ios::binary) << AsString(GoldenBytes()).substr(0, 500);
    EXPECT_THROW(options.LoadFromFile(truncated), OptionsStreamError);
    EXPECT_EQ(options.Values(), TFaultOptionValues{});
}

} // namespace
} // namespace faulttrap
