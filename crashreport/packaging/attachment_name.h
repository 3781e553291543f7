#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace faulttrap {

// The computer name as the system reports it, at most 15 characters.
std::string ComputerName();

// The name under which a packaged file travels: its file name without folder, with "__" and the
// computer name inserted before the extension when `sendOptions` has AddComputerNameToFileName,
// then "__" and `exceptionTime` as "yyyymmddhhnnss" when it has AddDateToFileName.
std::string AttachmentName(std::string_view path, std::uint16_t sendOptions,
                           std::string_view computerName, const std::tm& exceptionTime);

} // namespace faulttrap
