#include "crashreport/report/bug_id.h"

#include "crashreport/report/report_text.h"

namespace faulttrap {

std::uint16_t Crc16(std::string_view bytes) {
    std::uint16_t crc = 0;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint16_t>(static_cast<unsigned char>(byte) << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                      : static_cast<std::uint16_t>(crc << 1);
        }
    }
    return crc;
}

std::string BugId(std::string_view exceptionClass, const std::vector<ReportStackEntry>& stack,
                  std::uint64_t exceptionThreadId) {
    std::string identity(exceptionClass);
    for (const auto& entry : stack) {
        if (entry.line != 0 && entry.threadId == exceptionThreadId && entry.ownStack &&
            !entry.leak) {
            identity += entry.unitName + entry.className + entry.procedureName +
                        std::to_string(entry.lineOffset);
        }
    }
    return Hex(Crc16(identity), 4);
}

} // namespace faulttrap
