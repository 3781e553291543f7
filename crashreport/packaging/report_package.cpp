#include "crashreport/packaging/report_package.h"

#include "crashreport/packaging/attachment_name.h"
#include "crashreport/packaging/kept_reports.h"
#include "crashreport/packaging/zip_archive.h"

#include "crashreport/options/option_types.h"
#include "crashreport/text/strings.h"

#include <cstdlib>
#include <fstream>

namespace faulttrap {

namespace fs = std::filesystem;

namespace {

constexpr const char* ReportEnd = "\r\n\r\n\r\n";

// Every line break (CR LF, lone LF or lone CR) as CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// Writes the file whole or not at all.
void WriteFileOrNothing(const fs::path& path, const std::string& content) {
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (file.write(content.data(), static_cast<std::streamsize>(content.size())) &&
            file.flush()) {
            return;
        }
    }
    std::error_code ignored;
    fs::remove(path, ignored);
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

} // namespace

std::vector<std::string> SplitAttachedFiles(const std::string& value) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = value.find(';', start);
        names.push_back(std::string(TrimmedView(value.substr(start, end - start), " \t\r\n")));
        if (end == std::string::npos) {
            return names;
        }
        start = end + 1;
    }
}

std::string ReportCopyText(const std::string& reportText) {
    std::string text = WithCrLf(reportText);
    if (!text.ends_with(ReportEnd)) {
        text += ReportEnd;
    }
    return text;
}

fs::path TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? fs::path(folder) : fs::path("/tmp");
}

TReportPackage::TReportPackage(TPackageSettings settings) : settings_(std::move(settings)) {}

fs::path TReportPackage::ReportCopyPath() const {
    if (settings_.logFileName.empty()) {
        return {};
    }
    return settings_.tempFolder / settings_.logFileName.filename();
}

fs::path TReportPackage::ScreenshotPath() const {
    return settings_.tempFolder / "Screenshot.png";
}

fs::path TReportPackage::LastHtmlPagePath() const {
    return settings_.tempFolder / "LastHTMLPage.html";
}

fs::path TReportPackage::XmlCopyPath() const {
    if (settings_.logFileName.empty()) {
        return {};
    }
    return settings_.tempFolder / settings_.logFileName.filename().replace_extension(".xml");
}

fs::path TReportPackage::ArchivePath() const {
    return settings_.tempFolder / "BugReport.zip";
}

void TReportPackage::WriteReportCopy(const std::string& reportText) const {
    if (!ReportCopyPath().empty()) {
        WriteFileOrNothing(ReportCopyPath(), ReportCopyText(reportText));
    }
}

void TReportPackage::WriteLastHtmlPage(const std::string& page) const {
    if ((settings_.sendOptions & send_options::SendLastHTMLPage) && !page.empty()) {
        WriteFileOrNothing(LastHtmlPagePath(), WithCrLf(page));
    }
}

void TReportPackage::WriteXmlCopy(const TXmlCopyWriter& writeXmlCopy) const {
    if ((settings_.sendOptions & send_options::AttachXMLReport) && writeXmlCopy &&
        !XmlCopyPath().empty()) {
        writeXmlCopy(XmlCopyPath());
    }
}

std::vector<std::string> TReportPackage::CollectAttachments(bool forEmail) const {
    std::vector<std::string> paths = SplitAttachedFiles(settings_.attachedFiles);
    if (!ReportCopyPath().empty() && !(forEmail && settings_.appendReportToMessage)) {
        paths.push_back(ReportCopyPath().string());
    }
    if ((settings_.sendOptions & send_options::SendScreenshot) && settings_.attachScreenshot) {
        paths.push_back(ScreenshotPath().string());
    }
    if (settings_.sendOptions & send_options::SendLastHTMLPage) {
        paths.push_back(LastHtmlPagePath().string());
    }
    if ((settings_.sendOptions & send_options::AttachXMLReport) && !XmlCopyPath().empty()) {
        paths.push_back(XmlCopyPath().string());
    }
    return paths;
}

std::vector<std::string>
TReportPackage::PackAttachments(bool forEmail, const TAttachedFilesRequest& request) const {
    std::vector<std::string> paths = CollectAttachments(forEmail);
    if (request) {
        request(paths);
    }
    std::erase_if(paths, [](const std::string& path) { return !IsFile(path); });
    if (!paths.empty() &&
        CreateZipArchive(ArchivePath().string(), paths, settings_.zipPassword) == 0 &&
        !IsFile(ArchivePath().string())) {
        throw TPackageError("Cannot create the archive \"" + ArchivePath().string() + "\".");
    }
    return {ArchivePath().string()};
}

std::string TReportPackage::AttachmentName(const fs::path& path) const {
    return faulttrap::AttachmentName(path.string(), settings_.sendOptions, settings_.computerName,
                                     settings_.exceptionTime);
}

void TReportPackage::KeepUnsentReport() const {
    const fs::path folder = settings_.logFileName.parent_path();
    if (folder.empty() || !IsFile(ArchivePath().string())) {
        return;
    }
    if (MoveWithoutReplacing(ArchivePath(), folder, AttachmentName(ArchivePath()))) {
        PruneKeptArchives(folder);
    }
}

void TReportPackage::RemoveTemporaryFiles() const {
    std::error_code ignored;
    fs::remove(ArchivePath(), ignored);
    if (!XmlCopyPath().empty()) {
        fs::remove(XmlCopyPath(), ignored);
    }
    if (!settings_.runsAsCgi) {
        fs::remove(LastHtmlPagePath(), ignored);
    }
    if (!ReportCopyPath().empty()) {
        fs::remove(ReportCopyPath(), ignored);
    }
}

} // namespace faulttrap
