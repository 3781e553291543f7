#include "crashreport/debuginfo/name_cipher.h"
#include "crashreport/renderings/log_xml.h"
#include "crashreport/renderings/name_decryption.h"
#include "crashreport/renderings/report_layout.h"
#include "crashreport/renderings/tests/fixed_report.h"
#include "crashreport/report/log_file.h"

#include <QDomDocument>
#include <QDomElement>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace faulttrap {
namespace {

using testing::FixedReport;
using testing::ReplaceFirst;

QDomDocument Parse(const std::string& xml) {
    QDomDocument document;
    QString error;
    int line = 0;
    EXPECT_TRUE(document.setContent(QByteArray::fromStdString(xml), &error, &line))
        << error.toStdString() << " at line " << line;
    return document;
}

QDomElement Child(const QDomElement& parent, const char* name, int index = 0) {
    QDomElement child = parent.firstChildElement(name);
    for (int i = 0; i < index; ++i) {
        child = child.nextSiblingElement(name);
    }
    return child;
}

int Count(const QDomElement& parent, const char* name) {
    int count = 0;
    for (QDomElement e = parent.firstChildElement(name); !e.isNull();
         e = e.nextSiblingElement(name)) {
        ++count;
    }
    return count;
}

std::string Attr(const QDomElement& element, const char* name) {
    return element.attribute(name).toStdString();
}

// A call-stack unit, class or procedure as a program without the password writes it.
std::string Enciphered(const std::string& name, const std::string& password, bool unit) {
    const NameCipher cipher(password);
    const std::vector<std::uint8_t> plain(name.begin(), name.end());
    const std::vector<std::uint8_t> stored = cipher.Encrypt(plain);
    return (unit ? "?p" : "?") + Base64(stored);
}

// The fixed report with its worker row's names enciphered (the table's columns widened).
std::string EncipheredReport(const std::string& password) {
    std::string report = FixedReport();
    const std::string unit = Enciphered("worker", password, true);
    const std::string procedure = Enciphered("Worker.Run", password, false);
    ReplaceFirst(report, "|0000000000402000|cadastro |worker.cpp|Worker|Run              |15[1] |",
                 "|0000000000402000|cadastro|" + unit + "||" + procedure + "|15[1]|");
    return report;
}

TEST(LogXml, GeneralSectionsBecomeGroupsOfLines) {
    const QDomDocument document = Parse(ReportsXml({FixedReport()}, ""));
    const QDomElement doc = document.documentElement();
    ASSERT_EQ(doc.tagName().toStdString(), "Doc");
    const QDomElement log = Child(doc, "Log");
    EXPECT_EQ(Attr(log, "Version"), "6.0.6");
    const QDomElement general = Child(log, "General");
    EXPECT_EQ(Count(general, "Group"), 7);
    const QDomElement application = Child(general, "Group");
    EXPECT_EQ(Attr(application, "ID"), "1");
    EXPECT_EQ(Attr(application, "Label"), "Application");
    const QDomElement parameters = Child(application, "Line", 3);
    EXPECT_EQ(Attr(parameters, "ID"), "1.4");
    EXPECT_EQ(Attr(parameters, "Label"), "Parameters");
    EXPECT_EQ(Attr(parameters, "Value"), "\"-x\" \"a b\"");

    const QDomElement exception = Child(general, "Group", 1);
    const QDomElement note = Child(exception, "Line", 9);
    EXPECT_EQ(Attr(note, "ID"), "2.10");
    EXPECT_EQ(Attr(note, "Value"), "");
    EXPECT_TRUE(note.hasAttribute("Value"));

    // A value of several lines comes back as one value, its lines joined by CR LF.
    const QDomElement privileges = Child(Child(general, "Group", 2), "Line", 4);
    EXPECT_EQ(Attr(privileges, "ID"), "3.5");
    EXPECT_EQ(Attr(privileges, "Value"), "CAP_CHOWN                       - ON\r\n"
                                         "CAP_KILL                        - OFF");
}

TEST(LogXml, CallStackHasOneElementPerThreadWithItsCallingThread) {
    const QDomElement log = Child(Parse(ReportsXml({FixedReport()}, "")).documentElement(), "Log");
    const QDomElement stack = Child(log, "CallStack");
    const QDomElement exception = Child(stack, "ExceptionThread");
    EXPECT_EQ(Attr(exception, "ID"), "100");
    EXPECT_EQ(Attr(exception, "Priority"), "Normal");
    EXPECT_EQ(Attr(exception, "MainThread"), "True");
    ASSERT_EQ(Count(exception, "Line"), 3);
    const QDomElement first = Child(exception, "Line");
    EXPECT_EQ(Attr(first, "Address"), "0000000000401A2B");
    EXPECT_EQ(Attr(first, "Module"), "cadastro");
    EXPECT_EQ(Attr(first, "Unit"), "main.cpp");
    EXPECT_EQ(Attr(first, "Procedure"), "Open");
    EXPECT_EQ(Attr(first, "Number"), "120");
    EXPECT_EQ(Attr(first, "Offset"), "3");
    EXPECT_EQ(Attr(Child(exception, "Line", 2), "Number"), "");

    const QDomElement running = Child(stack, "RunningThread");
    EXPECT_EQ(Attr(running, "ID"), "101");
    EXPECT_EQ(Attr(running, "Priority"), "??");
    EXPECT_EQ(Attr(running, "Class"), "WorkerThread");
    EXPECT_EQ(Attr(running, "MainThread"), "False");
    EXPECT_EQ(Attr(Child(running, "Line"), "Class"), "Worker");
    const QDomElement calling = Child(running, "CallingThread");
    ASSERT_FALSE(calling.isNull());
    EXPECT_EQ(Attr(Child(calling, "Line"), "Procedure"), "StartWorker");
}

TEST(LogXml, TablesListingAndCpuStateAreKept) {
    const QDomElement log = Child(Parse(ReportsXml({FixedReport()}, "")).documentElement(), "Log");
    const QDomElement modules = Child(log, "Modules");
    ASSERT_EQ(Count(modules, "Module"), 3);
    EXPECT_EQ(Attr(Child(modules, "Module"), "Modified"), "2026-12-01 09:00:00");
    EXPECT_EQ(Attr(Child(modules, "Module", 1), "Path"), "/lib/x86_64-linux-gnu");
    const QDomElement processes = Child(log, "Processes");
    ASSERT_EQ(Count(processes, "Process"), 2);
    EXPECT_EQ(Attr(Child(processes, "Process"), "Memory"), "12582912");

    const QDomElement assembler = Child(log, "Assembler");
    ASSERT_EQ(Count(assembler, "Line"), 2);
    const QDomElement call = Child(assembler, "Line", 1);
    EXPECT_EQ(Attr(call, "Address"), "0000000000401A2B");
    EXPECT_EQ(Attr(call, "Command"), "call    0000000000401000");
    EXPECT_EQ(Attr(call, "Comment"), "<-- EXCEPTION");

    const QDomElement cpu = Child(log, "CPU");
    const QDomElement registers = Child(cpu, "Registers");
    EXPECT_EQ(Attr(registers, "RAX"), "0000000000000001");
    EXPECT_EQ(Attr(registers, "RIP"), "0000000000401A2B");
    EXPECT_EQ(Attr(registers, "R15"), "000000000000000F");
    const QDomElement stack = Child(cpu, "Stack");
    ASSERT_EQ(Count(stack, "Line"), 16);
    EXPECT_EQ(Attr(Child(stack, "Line"), "Value"), "0000000000001000");
    const QDomElement dump = Child(cpu, "MemoryDump");
    ASSERT_EQ(Count(dump, "Line"), 16);
    const QDomElement third = Child(dump, "Line", 2);
    EXPECT_EQ(Attr(third, "Address"), "0000000000401A4B");
    EXPECT_EQ(Attr(third, "Bytes"), "20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F");
    EXPECT_EQ(Attr(third, "Chars"), " !\"#$%&'()*+,-./");
}

TEST(LogXml, DocumentLayoutIndentsEveryLevelByTwoBlanks) {
    const std::string xml = ReportsXml({FixedReport()}, "");
    EXPECT_TRUE(xml.starts_with("<Doc>\r\n  <Log Version=\"6.0.6\">\r\n    <General>\r\n"
                                "      <Group ID=\"1\" Label=\"Application\">\r\n"
                                "        <Line ID=\"1.1\" Label=\"Start Date\""));
    EXPECT_TRUE(xml.ends_with("  </Log>\r\n</Doc>\r\n"));
}

TEST(LogXml, EncipheredNamesOpenOnlyWithTheRightPassword) {
    const std::string report = EncipheredReport("s3cret");
    struct Case {
        const char* password;
        bool opened;
    };
    for (const Case& c : {Case{"s3cret", true}, Case{"wrong", false}, Case{"", false}}) {
        SCOPED_TRACE(c.password);
        const QDomElement log =
            Child(Parse(ReportsXml({report}, c.password)).documentElement(), "Log");
        const QDomElement line = Child(Child(Child(log, "CallStack"), "RunningThread"), "Line");
        if (c.opened) {
            EXPECT_EQ(Attr(line, "Unit"), "worker.pas");
            EXPECT_EQ(Attr(line, "Class"), "Worker");
            EXPECT_EQ(Attr(line, "Procedure"), "Run");
        } else {
            EXPECT_TRUE(Attr(line, "Unit").starts_with("?p"));
            EXPECT_TRUE(Attr(line, "Procedure").starts_with("?"));
        }
    }
}

// A message of several lines, one of them ending in ":", one holding ": " and one empty: the
// XML has the items the report has, each with the value the log file reads.
TEST(LogXml, EveryGeneralValueIsTheValueTheLogFileReads) {
    std::string report = FixedReport();
    const std::string indent(20, ' ');
    ReplaceFirst(report, "2.6 Message       : Cannot open.\r\n",
                 "2.6 Message       : first:_part\r\n" + indent + "line ending in colon:\r\n" +
                     indent + "   indented\r\n" + indent + ".\r\n" + indent + "last.\r\n");
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("logxmlvalues" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "app.ftlog";
    std::ofstream(file, std::ios::binary) << report << "\r\n";
    const TLogFile log(file, LogFileAccess::ReadOnly);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.ReadItem(0, "2.6").value_or(""),
              "first: part\r\nline ending in colon:\r\nindented\r\n\r\nlast.");
    const QDomElement general =
        Child(Child(Parse(LogFileXml(log, "")).documentElement(), "Log"), "General");
    int lines = 0;
    for (QDomElement group = general.firstChildElement("Group"); !group.isNull();
         group = group.nextSiblingElement("Group")) {
        for (QDomElement line = group.firstChildElement("Line"); !line.isNull();
             line = line.nextSiblingElement("Line"), ++lines) {
            const std::string id = Attr(line, "ID");
            const auto value = log.ReadItem(0, id);
            ASSERT_TRUE(value) << id;
            EXPECT_EQ(line.attribute("Value"), QString::fromLatin1(value->c_str())) << id;
        }
    }
    EXPECT_EQ(lines, 47);
    std::filesystem::remove_all(folder);
}

TEST(LogXml, AttributeValuesAreEscapedForAnyByte) {
    XmlElement element("E", EscapeAttribute);
    element.AddAttribute("A", std::string("q\"&'<>\x01\xE9\n", 9));
    EXPECT_EQ(element.Serialize(), "<E A=\"q&#034;&#038;&#039;&#060;&#062; &#233;&#010;\"/>\r\n");
    Parse(element.Serialize());
    // Windows-1252's own characters where Latin-1 has control codes.
    XmlElement high("E", EscapeAttribute);
    high.AddAttribute("A", "\x80\x85\x93\x94\x9F\x81\xA0\xFF");
    EXPECT_EQ(high.Serialize(),
              "<E A=\"&#8364;&#8230;&#8220;&#8221;&#376;&#65533;&#160;&#255;\"/>\r\n");
    EXPECT_EQ(Attr(Parse(high.Serialize()).documentElement(), "A"),
              "\u20AC\u2026\u201C\u201D\u0178\uFFFD\u00A0\u00FF");
}

TEST(LogXml, WholeLogFileOfSeveralReports) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("logxml" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "app.ftlog";
    {
        std::ofstream out(file, std::ios::binary);
        // Reports are kept apart by three empty lines.
        out << FixedReport() << "\r\n\r\n\r\n" << EncipheredReport("pw") << "\r\n\r\n\r\n";
    }
    const TLogFile log(file, LogFileAccess::ReadOnly);
    ASSERT_EQ(log.Count(), 2);
    const QDomElement doc = Parse(LogFileXml(log, "pw")).documentElement();
    EXPECT_EQ(Count(doc, "Log"), 2);
    std::filesystem::remove_all(folder);
}

TEST(ReportLayout, FindsEverySection) {
    const ReportLayout layout = SplitReport(FixedReport());
    EXPECT_EQ(layout.version, "6.0.6");
    EXPECT_EQ(layout.general.back(), "  7.6 DHCP      : ON              - OFF            ");
    EXPECT_EQ(layout.stackRows.size(), 14u); // separators and the empty row included
    EXPECT_EQ(layout.moduleRows.size(), 3u);
    EXPECT_EQ(layout.processRows.size(), 2u);
    EXPECT_EQ(layout.assembler.size(), 2u);
    EXPECT_EQ(layout.cpu.front(), "Registers:");
    EXPECT_EQ(TableFields("|a |b| c|"), (std::vector<std::string>{"a", "b", "c"}));
}

} // namespace
} // namespace faulttrap
