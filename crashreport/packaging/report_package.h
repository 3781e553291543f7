#pragma once

#include "crashreport/text/faulttrap_error.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace faulttrap {

// What the packing of one report needs to know.
struct TPackageSettings {
    std::filesystem::path tempFolder;  // the working folder of the package files
    std::filesystem::path logFileName; // the log file: its name names the report copy, its
                                       // folder keeps unsent archives; empty: no report copy
    std::uint16_t sendOptions = 0;
    bool appendReportToMessage = false;
    std::string attachedFiles; // ";"-separated extra files
    std::string zipPassword;
    bool attachScreenshot = false; // the user's choice in the dialog
    bool runsAsCgi = false;        // the last HTML page then outlives the delivery
    std::string computerName;
    std::tm exceptionTime{};
};

// The archive of a package could not be made: a delivery of it fails with this text.
class TPackageError : public Error {
public:
    using Error::Error;
};

// Lets an event handler add or remove paths before packing.
using TAttachedFilesRequest = std::function<void(std::vector<std::string>& paths)>;
// Writes the XML form of the report into the given file.
using TXmlCopyWriter = std::function<void(const std::filesystem::path& file)>;

// The files of one report on their way out: the report copy, the screenshot, the last HTML page,
// the XML copy, the user's extra files and the archive "BugReport.zip" that holds them all.
class TReportPackage {
public:
    explicit TReportPackage(TPackageSettings settings);

    std::filesystem::path ReportCopyPath() const;
    std::filesystem::path ScreenshotPath() const;
    std::filesystem::path LastHtmlPagePath() const;
    std::filesystem::path XmlCopyPath() const;
    std::filesystem::path ArchivePath() const;

    // The report copy: the report text with CR LF line ends and three line breaks at the end.
    // Every writer here leaves its file absent when writing fails.
    void WriteReportCopy(const std::string& reportText) const;
    // The last HTML page of a web program, when there is one and it is wanted.
    void WriteLastHtmlPage(const std::string& page) const;
    // The XML copy, when it is wanted, by `writeXmlCopy`.
    void WriteXmlCopy(const TXmlCopyWriter& writeXmlCopy) const;
    // The paths to pack, in order: extra files, report copy (not for e-mail when the report goes
    // into the message), screenshot, last HTML page, XML copy.
    std::vector<std::string> CollectAttachments(bool forEmail) const;
    // Collects, lets `request` change the list, drops missing files and packs the rest into the
    // archive. Returns the single archive path (a sender skips it when the archive is absent).
    // Raises TPackageError when there are files to pack and the archive cannot be made.
    std::vector<std::string> PackAttachments(bool forEmail,
                                             const TAttachedFilesRequest& request) const;
    // The travelling name of a packaged file.
    std::string AttachmentName(const std::filesystem::path& path) const;

    // After a failed delivery: moves the archive beside the log file under its travelling name
    // (never replacing a file) and keeps the ten archives there whose names sort last.
    void KeepUnsentReport() const;
    // Deletes the archive, the XML copy, the report copy and (but in a CGI program) the last
    // HTML page.
    void RemoveTemporaryFiles() const;

private:
    TPackageSettings settings_;
};

// The `AttachedFiles` value split at every ";", each piece trimmed; empty pieces stay.
std::vector<std::string> SplitAttachedFiles(const std::string& value);
// The report text as the report copy holds it: CR LF line ends and three line breaks at the end.
std::string ReportCopyText(const std::string& reportText);
// The system's temporary folder: TMPDIR when set, else "/tmp".
std::filesystem::path TemporaryFolder();

} // namespace faulttrap
