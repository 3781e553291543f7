#include "crashreport/disasm/assembler_listing.h"

#include "crashreport/disasm/dis_asm.h"
#include "crashreport/disasm/guarded_memory.h"
#include "crashreport/disasm/listing_naming.h"
#include "crashreport/disasm/operand_text.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <span>

namespace faulttrap {

namespace {

constexpr std::uint64_t kWindowReach = 70;      // bytes decoded before and after the address
constexpr std::size_t kInstructionsAround = 10; // instructions listed before and after it
constexpr std::size_t kLongestInstruction = 15;

// The readable code around the exception address.
class TCodeWindow {
public:
    explicit TCodeWindow(std::uint64_t address) {
        first_ = address >= kWindowReach ? address - kWindowReach : 0;
        // Memory is readable page by page: when the window's first byte is not, the readable code
        // starts on a later page, at the latest on the address's own.
        std::array<std::uint8_t, 1> probe;
        while (first_ < address && ReadMemory(first_, probe) == 0) {
            first_ = std::min(address, (first_ / PageSize() + 1) * PageSize());
        }
        bytes_.resize(address - first_ + kWindowReach + kLongestInstruction);
        bytes_.resize(ReadMemory(first_, bytes_));
        end_ = std::min(address + kWindowReach, first_ + bytes_.size());
    }

    std::uint64_t First() const { return first_; }
    std::uint64_t End() const { return end_; } // no instruction starts here or later

    std::span<const std::uint8_t> From(std::uint64_t address) const {
        return std::span<const std::uint8_t>(bytes_).subspan(address - first_);
    }

private:
    static std::uint64_t PageSize() { return static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)); }

    std::uint64_t first_ = 0;
    std::uint64_t end_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The first instruction to list: the earliest start from which decoding lands exactly on the
// address, moved on so that at most 10 instructions precede the address.
std::uint64_t ListingStart(const TDisAsm& disasm, const TCodeWindow& window,
                           std::uint64_t address) {
    for (std::uint64_t start = window.First(); start < address; ++start) {
        std::vector<std::uint64_t> starts;
        std::uint64_t at = start;
        while (at < address) {
            starts.push_back(at);
            at += disasm.Shape(window.From(at)).Length;
        }
        if (at == address) {
            return starts.size() > kInstructionsAround ? starts[starts.size() - kInstructionsAround]
                                                       : start;
        }
    }
    return address;
}

// The caption texts of one instruction's source place.
struct TPlaceTexts {
    std::string Location;
    std::string Line;
};

TPlaceTexts PlaceTexts(const TCodeNaming& naming, std::uint64_t address) {
    const auto place = naming.SourcePlace(address);
    if (!place) {
        return {};
    }
    TPlaceTexts texts{JoinedPlaceName(*place) + " ", ""};
    if (place->Line != 0) {
        texts.Line = "Line=" + std::to_string(place->Line) +
                     " - Offset=" + std::to_string(place->LineOffset);
    }
    return texts;
}

void TrimRight(std::string& text) {
    const std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
}

// Moves every comment to one column: two blanks after the longest code part.
void AlignComments(std::vector<std::string>& lines) {
    std::size_t width = 0;
    for (const std::string& line : lines) {
        if (line.starts_with(";")) {
            continue;
        }
        std::string code = line.substr(0, line.find(';'));
        TrimRight(code);
        width = std::max(width, code.size());
    }
    width += 2;
    for (std::string& line : lines) {
        const std::size_t semicolon = line.find(';');
        if (semicolon != std::string::npos && semicolon > 0 && semicolon < width) {
            line.insert(semicolon, width - semicolon, ' ');
        }
    }
}

} // namespace

std::vector<std::string> AssemblerListing(std::uint64_t exceptionAddress,
                                          const TCodeNaming& naming) {
    if (!IsReadable(exceptionAddress, 4)) {
        return {};
    }
    const TDisAsm disasm(NativeMachineMode(), ListingNamingCallbacks(naming));
    const TCodeWindow window(exceptionAddress);

    std::vector<std::string> lines;
    std::size_t procedureStart = 0; // first line of the procedure that holds the exception
    TPlaceTexts previous;
    std::size_t after = 0;
    for (std::uint64_t at = ListingStart(disasm, window, exceptionAddress); at < window.End();) {
        const TDecodedInstruction instruction = disasm.Decode(window.From(at), at);

        const TPlaceTexts texts = PlaceTexts(naming, at);
        std::string caption;
        const bool newLocation = texts.Location != previous.Location;
        if (newLocation) {
            caption = texts.Location;
        }
        if (texts.Line != previous.Line && !texts.Line.empty()) {
            caption += newLocation ? "(" + texts.Line + ")" : texts.Line;
        }
        TrimRight(caption);
        previous = texts;
        if (!caption.empty() && !lines.empty()) {
            lines.push_back(";");
        }
        // Code of another procedure, or code without a known place, starts here.
        if (newLocation && at <= exceptionAddress) {
            procedureStart = lines.size();
        }
        if (!caption.empty()) {
            lines.push_back("; " + caption);
            lines.push_back("; " + std::string(caption.size(), '-'));
        }

        std::string line = PointerText(at) + "  " + instruction.Text;
        if (at == exceptionAddress) {
            line += line.find(';') == std::string::npos ? "  ; <-- EXCEPTION" : " <-- EXCEPTION";
        }
        lines.push_back(line);

        if (at > exceptionAddress && (++after == kInstructionsAround || instruction.IsReturn)) {
            break;
        }
        at += instruction.Length;
    }
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(procedureStart));
    AlignComments(lines);
    return lines;
}

} // namespace faulttrap
