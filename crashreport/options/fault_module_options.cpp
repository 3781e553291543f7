#include "crashreport/options/fault_module_options.h"

#include "crashreport/options/loaded_module.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace faulttrap {

namespace {

std::int32_t AtLeastOneLogEntry(std::int32_t value) {
    return value == 0 ? 1 : value;
}

[[noreturn]] void ThrowFileError(const std::string& what, const std::string& fileName) {
    throw std::system_error(errno, std::generic_category(), what + " \"" + fileName + "\"");
}

// Writes `bytes` to a new file beside `fileName` and renames it over `fileName`, so that a
// failure never leaves a half-written options file behind.
void ReplaceFile(const std::string& fileName, const std::string& bytes) {
    std::string temporary = fileName + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        ThrowFileError("Cannot create the options file", fileName);
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int saved = errno;
            close(fd);
            unlink(temporary.c_str());
            errno = saved;
            ThrowFileError("Cannot write the options file", fileName);
        }
        written += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 || rename(temporary.c_str(), fileName.c_str()) != 0) {
        const int saved = errno;
        unlink(temporary.c_str());
        errno = saved;
        ThrowFileError("Cannot write the options file", fileName);
    }
}

} // namespace

TFaultModuleOptions::TFaultModuleOptions(std::string moduleFileName, bool notifyChanges)
    : moduleFileName_(std::move(moduleFileName)), notifyChanges_(notifyChanges),
      runsFaultTrap_(NamesSubsystemModule(moduleFileName_)),
      filters_([this] { CheckNotification(); }) {}

void TFaultModuleOptions::SetHandlingActive(bool value) {
    handlingActive_ = value;
    CheckNotification();
}

void TFaultModuleOptions::SetFreezeWatch(bool value) {
    Store(values_.FreezeWatch, value);
}

void TFaultModuleOptions::SetMaxLogEntries(std::int32_t value) {
    Store(values_.MaxLogEntries, AtLeastOneLogEntry(value));
}

void TFaultModuleOptions::SetCustomizedText(TextId id, std::string text) {
    texts_.SetText(id, std::move(text));
    CheckNotification();
}

TFaultOptionsContent TFaultModuleOptions::Content() const {
    return TFaultOptionsContent{values_, filters_.Items(), texts_};
}

void TFaultModuleOptions::EndUpdate() {
    if (updateCount_ > 0) {
        --updateCount_;
    }
}

void TFaultModuleOptions::CheckNotification() {
    if (updateCount_ <= 0 && notifyChanges_ && runsFaultTrap_) {
        ChangeNotification();
    }
}

void TFaultModuleOptions::Assign(const TFaultModuleOptions* source) {
    if (source == nullptr) {
        throw ConversionError("Impossible to assign nil as TFaultModuleOptions.");
    }
    if (source != this) {
        Replace(source->Content());
    }
}

void TFaultModuleOptions::SetDefaults() {
    handlingActive_ = true;
    Replace(TFaultOptionsContent{});
}

void TFaultModuleOptions::SaveToStream(std::ostream& stream) const {
    const std::string bytes = EncodeOptionsStream(Content());
    if (!stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::ios_base::failure("Cannot write the options stream.");
    }
}

void TFaultModuleOptions::SaveToFile(const std::string& fileName) const {
    ReplaceFile(fileName, EncodeOptionsStream(Content()));
}

void TFaultModuleOptions::LoadFromStream(std::istream& stream, int dataVersion) {
    Load([&] { return DecodeOptionsStream(stream, dataVersion); });
}

void TFaultModuleOptions::LoadFromFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        ThrowFileError("Cannot open the options file", fileName);
    }
    Load([&] {
        TFaultOptionsContent content = DecodeOptionsStream(file, kCurrentDataVersion);
        if (file.peek() != std::ifstream::traits_type::eof()) {
            throw OptionsStreamError("Damaged options file \"" + fileName +
                                     "\": unexpected bytes follow the options.");
        }
        return content;
    });
}

void TFaultModuleOptions::LoadFromBytes(std::string_view bytes, int dataVersion) {
    Load([&] { return DecodeOptionsStream(bytes, dataVersion); });
}

void TFaultModuleOptions::Replace(const TFaultOptionsContent& content) {
    BeginUpdate();
    values_ = content.Values;
    values_.MaxLogEntries = AtLeastOneLogEntry(values_.MaxLogEntries);
    texts_ = content.Texts;
    filters_.Assign(content.Filters);
    EndUpdate();
    CheckNotification();
}

template <class Decode> void TFaultModuleOptions::Load(Decode decode) {
    TFaultOptionsContent content;
    try {
        content = decode();
    } catch (...) {
        // Nothing has changed, but a load always ends with its one notification check.
        CheckNotification();
        throw;
    }
    Replace(content);
}

} // namespace faulttrap
